#!/usr/bin/env python3
"""Generates data/iscii.h: the ISCII-91 decoding blocks of "dev", "tlg" and
"knd" (bytes 0xA1..0xFA -> UTF-16, 0xFFFD = no character) and, per script,
the encoding table over its Unicode range (code point - range start -> byte,
0xFF = no byte), the exact inverse of the decoding block.

Input: tools/gen/sources/iscii/iscii91.txt.
Usage: python3 tools/gen/gen_iscii.py --out data
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cheader  # noqa: E402

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sources", "iscii", "iscii91.txt")
RANGES = {"dev": (0x0901, 0x0970), "tlg": (0x0C01, 0x0C6F), "knd": (0x0C82, 0x0CEF)}


def parse():
    dev = {}
    scripts = {}
    with open(SOURCE) as f:
        for line in f:
            line = line.split("#")[0].split()
            if not line:
                continue
            if line[0] == "script":
                scripts[line[1]] = (int(line[3], 16), {int(x, 16) for x in line[5:]})
                continue
            a, _, b = line[0].partition("..")
            first, last = int(a, 16), int(b or a, 16)
            for i, byte in enumerate(range(first, last + 1)):
                dev[byte] = None if line[1] == "none" else int(line[1], 16) + i
    assert sorted(dev) == list(range(0xA1, 0xFB)), "every byte 0xA1..0xFA listed once"
    blocks = {"dev": [dev[b] for b in range(0xA1, 0xFB)]}
    for name, (offset, holes) in scripts.items():
        blocks[name] = [None if (dev[b] is None or b in holes) else dev[b] + offset for b in range(0xA1, 0xFB)]
    return blocks


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    blocks = parse()
    out = cheader.Output("iscii.h", "tools/gen/gen_iscii.py", "tools/gen/sources/iscii/iscii91.txt",
                         "ISCII-91 tables of \"dev\", \"tlg\" and \"knd\".")
    code = ""
    for name in ("dev", "tlg", "knd"):
        lo, hi = RANGES[name]
        block = blocks[name]
        inverse = [0xFF] * (hi - lo + 1)
        for i, u in enumerate(block):
            if u is None:
                continue
            assert lo <= u <= hi and inverse[u - lo] == 0xFF, (name, hex(u))
            inverse[u - lo] = 0xA1 + i
        code += "inline constexpr char16_t %s_first = 0x%04X, %s_last = 0x%04X;\n" % (name, lo, name, hi)
        out.add("char16_t", name + "_to_ucs", [0xFFFD if u is None else u for u in block], 2, per_line=8)
        out.add("uint8_t", "ucs_to_" + name, inverse, 1, per_line=16)
    out.write(args.out, code + "\n")


if __name__ == "__main__":
    main()
