#!/usr/bin/env python3
"""Writes tools/gen/sources/cjk/<codec>.txt from Python's codecs.

Run once to pin the inputs of gen_cjk.py and golden_cjk.py for the GBK and
Korean tables; the outputs are checked in, so those tables and their golden
files no longer depend on the Python version that regenerates them.  Each
file lists "0xCCCC<TAB>0xUUUU" for every two-byte code of the table's range
that the codec decodes to exactly one character; other codes are left out.

Usage: python3 tools/gen/dump_cjk_codecs.py [--out tools/gen/sources/cjk]
"""
import argparse
import os
import sys

from dump_sbcs_codecs import write_dump

# codec, first code, last code (the ranges of data/gbk.h and data/ksc.h)
CODECS = [("cp936", 0x8140, 0xFE4F), ("cp949", 0x8140, 0xFDFF)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "sources", "cjk"))
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, first, last in CODECS:
        header = ["# %s: two-byte codes 0x%04X..0x%04X to Unicode as decoded by Python %d.%d codec '%s'"
                  % (name, first, last, sys.version_info[0], sys.version_info[1], name),
                  "# Undecodable codes are absent. Written by tools/gen/dump_cjk_codecs.py."]
        write_dump(os.path.join(args.out, name + ".txt"), header, range(first, last + 1), 2, name)


if __name__ == "__main__":
    main()
