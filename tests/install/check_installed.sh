#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks an installed Nessel tree as a user would use it:
#   tests/install/check_installed.sh PREFIX
# PREFIX is where the tree lies now (a `cmake --install --prefix` directory,
# or usr/ of an unpacked .deb).  Builds the consumer programs (C, and C++
# with zones()) through
# pkg-config and through find_package(nessel CONFIG), runs both and the
# installed program on a name, renders both manual pages with warnings on,
# and asks the bash completion for a command.  Fails on the first mismatch.
set -euo pipefail
prefix=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check_installed: FAILED: $*" >&2; exit 1; }
expect() {  # expect WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
    echo "check_installed: ok: $1"
}

for f in include/nessel.h include/nessel.hpp share/nessel/pellow.ini share/man/man1/nessel.1 share/man/man3/nessel.3 \
         share/bash-completion/completions/nessel bin/nessel; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
pc=$(find "$prefix" -name nessel.pc -path '*/pkgconfig/*' | head -n 1)
[ -n "$pc" ] || fail "nessel.pc is not installed"
libdir=$(dirname "$(dirname "$pc")")

# The library looks for pellow.ini in its configured data directory, which
# is not where this tree lies; the search path is its last resort.  The
# per-user store and the temporary directory stay inside the work area.
export HOME=$work XDG_CONFIG_HOME=$work/config TMPDIR=$work
export PATH="$prefix/share/nessel:$PATH" LD_LIBRARY_PATH="$libdir"
names=(bücher.de 中文网.中国 info@bücher.de)
want=$'xn--bcher-kva.de\nxn--fiq228c5hs.xn--fiqs8s\ninfo@xn--bcher-kva.de'
# The first zone of the table as the installed program lists it (after its
# heading line; the program fills the store first).
first_zone=$("$prefix/bin/nessel" zones | sed -n "2p" | cut -f 2)

# Through pkg-config.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
expect "pkg-config version" "$(sed -n 's/^Version: //p' "$pc")" "$(pkg-config --modversion nessel)"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$work/consumer-pc" "$here/consumer.c" $(pkg-config --cflags --libs nessel)
expect "consumer (pkg-config)" "$want" "$("$work/consumer-pc" "${names[@]}")"
# The C++ interface, zones() included, with the same flags (the header asks
# for no more than C++17).
# shellcheck disable=SC2046
c++ -std=c++17 -Wall -Wextra -Werror -o "$work/consumer-cxx-pc" "$here/consumer.cpp" $(pkg-config --cflags --libs nessel)
expect "C++ consumer (pkg-config)" "$want"$'\n'"$first_zone" "$("$work/consumer-cxx-pc" "${names[@]}")"

# Through the CMake package.
cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" \
      -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$work/cmake" >/dev/null
expect "consumer (find_package)" "$want" "$("$work/cmake/consumer" "${names[@]}")"
expect "C++ consumer (find_package)" "$want"$'\n'"$first_zone" "$("$work/cmake/consumer_cxx" "${names[@]}")"
# A C program is linked as C: the C++ companion stays out of it.
if readelf -d "$work/cmake/consumer" | grep -q 'libstdc++'; then fail "the C consumer needs libstdc++"; fi
echo "check_installed: ok: C consumer links no C++ runtime"

# The installed program.
expect "nessel to-ace" "$want" "$("$prefix/bin/nessel" to-ace "${names[@]}")"

# The manual pages render without a warning.
for page in man1/nessel.1 man3/nessel.3; do
    warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/$page" 2>&1 >/dev/null)
    expect "man -l $page: no warnings" "" "$warnings"
done

# The completion offers a command and an option.
# shellcheck disable=SC1091
source "$prefix/share/bash-completion/completions/nessel"
COMP_WORDS=(nessel to-u); COMP_CWORD=1; _nessel
expect "completion of 'to-u'" "to-unicode" "${COMPREPLY[*]}"
COMP_WORDS=(nessel to-ace --sh); COMP_CWORD=2; _nessel
expect "completion of 'to-ace --sh'" "--show-codec" "${COMPREPLY[*]}"
