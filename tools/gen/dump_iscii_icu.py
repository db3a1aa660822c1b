#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes tools/gen/sources/iscii/icu-<charset>.txt from ICU's ISCII
converters through the `uconv` program (package icu-devtools).

Run once to pin the second source of the golden ISCII files; the outputs are
checked in, so the golden files do not depend on the ICU installed when they
are regenerated.  Each file lists
  D<TAB>BYTES<TAB>UNITS   every byte 0x01..0xFF alone, every byte 0xA1..0xFA
                          followed by the nukta byte 0xE9, and 0xE8 0xE8
  E<TAB>UNIT<TAB>BYTES    every unit 0x01..0x7F and of the script's block
BYTES and UNITS are hex (bytes without spaces, units separated by spaces),
"-" where the converter reports an error.  ICU's encoder starts its output
with an attribute switch (0xEF, script code); the switch to the converter's
own script is removed, a switch to another script is kept.

Usage: python3 tools/gen/dump_iscii_icu.py [--out tools/gen/sources/iscii]
"""
import argparse
import os
import subprocess
from concurrent.futures import ThreadPoolExecutor

# charset, ICU converter, own script code after 0xEF, Unicode block
CHARSETS = [("dev", "ISCII,version=0", 0x42, 0x0900),
            ("tlg", "ISCII,version=6", 0x45, 0x0C00),
            ("knd", "ISCII,version=7", 0x48, 0x0C80)]


def uconv(args, data):
    p = subprocess.run(["uconv"] + args, input=data, capture_output=True)
    return p.stdout if p.returncode == 0 and not p.stderr else None


def decode(conv, seq):
    out = uconv(["-f", conv, "-t", "UTF-16BE"], bytes(seq))
    if out is None or not out:
        return "-"
    return " ".join("%04X" % int.from_bytes(out[i:i + 2], "big") for i in range(0, len(out), 2))


def encode(conv, own, unit):
    out = uconv(["-f", "UTF-16BE", "-t", conv], unit.to_bytes(2, "big"))
    if out is None or not out:
        return "-"
    if out[:2] == bytes([0xEF, own]):
        out = out[2:]
    return out.hex().upper() or "-"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "sources", "iscii"))
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    version = subprocess.run(["uconv", "--version"], capture_output=True, text=True).stdout.strip()
    for name, conv, own, block in CHARSETS:
        seqs = [[b] for b in range(1, 256)] + [[b, 0xE9] for b in range(0xA1, 0xFB)] + [[0xE8, 0xE8]]
        units = list(range(1, 0x80)) + list(range(block, block + 0x80))
        with ThreadPoolExecutor(4) as pool:
            dec = list(pool.map(lambda s: decode(conv, s), seqs))
            enc = list(pool.map(lambda u: encode(conv, own, u), units))
        with open(os.path.join(args.out, "icu-%s.txt" % name), "w", encoding="ascii", newline="\n") as f:
            f.write("# %s: ICU converter \"%s\" (%s), dumped by tools/gen/dump_iscii_icu.py\n" % (name, conv, version))
            for s, u in zip(seqs, dec):
                f.write("D\t%s\t%s\n" % (bytes(s).hex().upper(), u))
            for u, b in zip(units, enc):
                f.write("E\t%04X\t%s\n" % (u, b))


if __name__ == "__main__":
    main()
