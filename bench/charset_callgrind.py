#!/usr/bin/env python3
"""Instructions per line of charset_peer_bench's cases under callgrind.

Usage: python3 bench/charset_callgrind.py BENCH CORPUS_DIR [CHARSET...]
       (default: the multibyte charsets; both ways, one call per line)
Each case runs once in its own callgrind process, counting only the pass in
measured_pass (a warm-up pass runs before it).  Prints Ir/line for ours, ICU
and iconv, and ours / best peer.
"""
import os
import re
import subprocess
import sys
import tempfile

IMPLS = ("nessel", "icu", "iconv")


def instructions(bench, corpus, case, tmp):
    out = os.path.join(tmp, "cg.out")
    run = subprocess.run(
        ["valgrind", "--tool=callgrind", "--toggle-collect=measured_pass",
         "--callgrind-out-file=" + out, bench, corpus, "--one-pass=" + case],
        capture_output=True, text=True, check=True)
    lines = int(re.search(r": (\d+) lines", run.stdout).group(1))
    with open(out) as f:
        total = int(re.search(r"^(?:summary|totals): (\d+)", f.read(), re.M).group(1))
    return total / lines


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    bench, corpus = sys.argv[1], sys.argv[2]
    charsets = sys.argv[3:] or ["GBK", "Big5", "Shift_JIS", "EUC-JP", "jis", "EUC-KR"]
    print("| charset | direction | ours Ir/line | ICU Ir/line | iconv Ir/line | ours/best |")
    print("|---|---|---|---|---|---|")
    with tempfile.TemporaryDirectory() as tmp:
        for cs in charsets:
            for direction in ("decode", "encode"):
                ir = {i: instructions(bench, corpus, f"{cs}/{direction}/line/{i}", tmp) for i in IMPLS}
                best = min(ir["icu"], ir["iconv"])
                print(f"| {cs} | {direction} | {ir['nessel']:.0f} | {ir['icu']:.0f} | "
                      f"{ir['iconv']:.0f} | {ir['nessel'] / best:.2f} |", flush=True)


if __name__ == "__main__":
    main()
