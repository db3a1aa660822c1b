#!/usr/bin/env python3
"""Instructions per name from the dumps of names_peer_bench --callgrind=N.

Usage: valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file=DIR/cg.%p \\
           names_peer_bench --callgrind=1000
       python3 bench/peer/callgrind_summary.py DIR/cg.*
Ours are the cases whose implementation names an export of the library.
"""
import re
import sys

OURS = ("NamePrep_U", "NamePrep(utf8)", "AceToUnicode", "talvex_name_prep_u",
        "unicode2encoding", "encoding2unicode")


def main():
    rows = []
    for path in sys.argv[1:]:
        label, total = None, None
        with open(path, errors="replace") as f:
            for line in f:
                m = re.match(r"desc: Trigger: Client Request: (.+)", line)
                if m:
                    label = m.group(1).strip()
                m = re.match(r"(?:summary|totals): (\d+)", line)
                if m:
                    total = int(m.group(1))
        if label and total is not None and label.count("|") == 2:
            op, impl, count = label.split("|")
            rows.append((op, impl, total / int(count)))
    best = {}
    for op, impl, ir in rows:
        if impl not in OURS:
            best[op] = min(best.get(op, ir), ir)
    print("%-16s %-20s %10s %10s" % ("operation", "implementation", "Ir/name", "ours/best"))
    for op, impl, ir in rows:
        ratio = "%.2f" % (ir / best[op]) if impl in OURS and op in best else ""
        print("%-16s %-20s %10.0f %10s" % (op, impl, ir, ratio))


if __name__ == "__main__":
    main()
