#!/usr/bin/env bash
# Tests the Windows SDK archives as a developer uses them.  Each archive is
# unpacked into a scratch directory; its layout, its DLL (exports, version
# resource, imports) and its Microsoft import library are checked; a C
# program is compiled against the unpacked header and linked once with each
# import library.  The x86-64 programs (and the 32-bit ones, where a 32-bit
# Wine loader is installed) run from the archive's bin directory: they must
# initialise on the shipped pellow.ini and convert names to ACE and back.
# nessel.exe, started from another directory, must find pellow.ini beside
# itself and report the version the archive is named after.
#
#   .ci/windows-sdk-check.sh VERSION WIN64_ZIP [WIN32_ZIP]
#
# Runs in the Wine prefix $WINEPREFIX with a running wineserver (see
# .ci/windows.sh).  The registry values the runs create are deleted again.
set -euo pipefail
version=$1
zip64=$(realpath "$2")
zip32=${3:+$(realpath "$3")}
src=$(cd "$(dirname "$0")/.." && pwd)

wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=$(command -v wine64)
wine32=/usr/lib/wine/wine  # the 32-bit loader, present only with wine32
scratch=$(mktemp -d /tmp/nessel-sdk.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "== sdk: FAIL: $*"; failures=$((failures + 1)); }

# Removes every value Nessel keeps in the registry, so that the next run
# initialises from pellow.ini again.
reset_registry() {
  "$1" reg delete 'HKCU\Software\Talvex international inc.' /f >/dev/null 2>&1 || true
}

# The expected output of the check program (see tests/win/sdk_check.c).
zones=$(grep -ci '^SubKey[0-9]*=.*\\DNSF.\?$' "$src/data/pellow.ini")
expected=$(printf '%s\n' \
  "version	Nessel Version $version" \
  "zones	$zones" \
  "bücher.de	xn--bcher-kva.de	PUNYCODE	bücher.de" \
  "中文网.中国	xn--fiq228c5hs.xn--fiqs8s	PUNYCODE	中文网.中国")

check_archive() {  # ZIP ARCH TRIPLE BITS
  local zip=$1 arch=$2 triple=$3 bits=$4
  local name
  name=$(basename "$zip" .zip)
  [ "$name" = "nessel-$version-$arch" ] || fail "archive named $name"
  mkdir -p "$scratch/$arch"
  (cd "$scratch/$arch" && cmake -E tar xf "$zip")
  local sdk=$scratch/$arch/$name
  echo "== sdk: $name"

  local want=(bin/Nessel.dll bin/nessel.exe bin/pellow.ini include/nessel.h include/nessel_ext.h lib/libnessel.dll.a
              lib/Nessel.lib lib/Nessel.def README.txt LICENSE.txt)
  [ -f "$src/include/nessel.hpp" ] && want+=(include/nessel.hpp)
  local page
  for page in "$src"/man/*.[13]; do
    [ -f "$page" ] && want+=("doc/$(basename "$page").txt")
  done
  local f
  for f in "${want[@]}"; do
    [ -s "$sdk/$f" ] || fail "$name lacks $f"
  done
  cmp -s "$sdk/bin/pellow.ini" "$src/data/pellow.ini" || fail "$name: bin/pellow.ini differs from data/pellow.ini"

  # The shipped DLL and the Microsoft import library: exports, decorated
  # names (32-bit), version resource, system imports only.
  python3 "$src/tests/win/check_dll.py" --dll "$sdk/bin/Nessel.dll" --implib "$sdk/lib/Nessel.lib" \
      --def "$src/cmake/Nessel.def" --header "$sdk/include/nessel.h" --bits "$bits" \
      --objdump "$triple-objdump" --nm "$triple-nm" --version "$version.0" >/dev/null \
    || fail "$name: Nessel.dll or Nessel.lib (tests/win/check_dll.py)"
  local exe_version
  exe_version=$(python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import check_dll as c
print(c.version_info(c.PE(open(sys.argv[2], "rb").read()).resource(16))[1].get("FileVersion"))' \
    "$src/tests/win" "$sdk/bin/nessel.exe")
  [ "$exe_version" = "$version.0" ] || fail "$name: nessel.exe version resource says $exe_version"

  # The program as a user builds it, with either import library.
  local lib exe
  for lib in libnessel.dll.a Nessel.lib; do
    exe=$sdk/bin/sdk_check_${lib%%.*}.exe
    "$triple-gcc" -std=c11 -Wall -Wextra -Werror -I "$sdk/include" \
        "$src/tests/win/sdk_check.c" "$sdk/lib/$lib" -o "$exe" \
      || fail "$name: cannot build against lib/$lib"
  done

  local wine=$wine64
  if [ "$bits" = 4 ]; then
    if [ ! -x "$wine32" ]; then
      echo "== sdk: $name: built and linked; not run (no 32-bit Wine loader here)"
      return
    fi
    wine=$wine32
  fi
  local out
  for exe in "$sdk"/bin/sdk_check_*.exe; do
    [ -f "$exe" ] || continue
    reset_registry "$wine"
    out=$(cd "$sdk/bin" && timeout 300 "$wine" "./$(basename "$exe")" 2>&1 | tr -d '\r') \
      || fail "$name: $(basename "$exe") exited non-zero"
    if [ "$out" != "$expected" ]; then
      fail "$name: $(basename "$exe") printed"
      printf '%s\n' "$out" | sed 's/^/    /'
    fi
  done

  # nessel.exe from another directory: pellow.ini is found beside it.
  reset_registry "$wine"
  out=$(cd "$scratch" && timeout 120 "$wine" "$sdk/bin/nessel.exe" --version 2>&1 | tr -d '\r')
  [ "$out" = "Nessel Version $version" ] || fail "$name: nessel.exe --version says '$out'"
  out=$(cd "$scratch" && printf 'bücher.de\n' | timeout 300 "$wine" "$sdk/bin/nessel.exe" to-ace 2>&1 | tr -d '\r')
  [ "$out" = "xn--bcher-kva.de" ] || fail "$name: nessel.exe to-ace gives '$out'"
  reset_registry "$wine"
  echo "== sdk: $name: ran from the archive"
}

check_archive "$zip64" win64 x86_64-w64-mingw32 8
[ -n "$zip32" ] && check_archive "$zip32" win32 i686-w64-mingw32 4

if [ "$failures" -gt 0 ]; then
  echo "== sdk: $failures failure(s)"
  exit 1
fi
echo "== sdk: archives checked"
