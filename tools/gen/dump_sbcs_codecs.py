#!/usr/bin/env python3
"""Writes tools/gen/sources/sbcs/<codec>.txt from Python's codecs.

Run once to pin the inputs of gen_sbcs.py; the outputs are checked in, so the
tables no longer depend on the Python version that regenerates them.  Each
file lists "0xBB<TAB>0xUUUU" for every byte 0x00..0xFF that the codec decodes
to exactly one character; undecodable bytes are left out.

Usage: python3 tools/gen/dump_sbcs_codecs.py [--out tools/gen/sources/sbcs]
"""
import argparse
import os
import sys

CODECS = ["iso8859_%d" % n for n in range(1, 10)] + ["cp%d" % n for n in range(1250, 1259)]


def write_dump(path, header, codes, width, codec):
    """Writes header lines, then "0xCODE<TAB>0xUUUU" for every code (a byte
    sequence of width bytes, big-endian) that codec decodes to exactly one
    character."""
    lines = list(header)
    for code in codes:
        try:
            s = code.to_bytes(width, "big").decode(codec)
        except UnicodeDecodeError:
            continue
        if len(s) == 1:
            lines.append("0x%0*X\t0x%04X" % (2 * width, code, ord(s)))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "sources", "sbcs"))
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name in CODECS:
        header = ["# %s: byte to Unicode as decoded by Python %d.%d codec '%s'"
                  % (name, sys.version_info[0], sys.version_info[1], name),
                  "# Undecodable bytes are absent. Written by tools/gen/dump_sbcs_codecs.py."]
        write_dump(os.path.join(args.out, name + ".txt"), header, range(256), 1, name)


if __name__ == "__main__":
    main()
