#!/usr/bin/env python3
"""Generates data/sbcs_iso8859.h and data/sbcs_cp125x.h: the single-byte
decoding tables (byte base..0xFF -> UTF-16) and their reverse indexes.

Input: tools/gen/sources/sbcs/<codec>.txt (Python's codecs, pinned by
dump_sbcs_codecs.py).  Each table starts from the codec; an undecodable byte
gets its own value; then the positions listed below get their own value and
the remaps are applied.  The script checks that the listed unassigned bytes
are exactly the undecodable ones, so a changed source cannot slip through.

Reverse index: <codec>_rev, a paged table (data/paged_table.h) that gives
the byte of a unit, or 0.  Each unit gets the LOWEST
byte whose table entry holds it, which is what a first-match search from the
start of the table yields (U+00D7 in iso8859-8 -> 0xAA, not 0xD7).

Usage: python3 tools/gen/gen_sbcs.py --out data
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cheader  # noqa: E402

SOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sources", "sbcs")


def r(a, b):
    return list(range(a, b + 1))


# name, codec, base, unassigned (undecodable in the codec, own value),
# replaced (assigned in the codec's newer edition, own value here), remaps
TABLES = [
    ("iso8859_1", 0xFF, [], [], {}),
    ("iso8859_2", 0xA0, [], [], {}),
    ("iso8859_3", 0xA0, [0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0], [], {}),
    ("iso8859_4", 0xA0, [], [], {}),
    ("iso8859_5", 0xA0, [], [], {}),
    ("iso8859_6", 0x30,
     r(0xA1, 0xA3) + r(0xA5, 0xAB) + r(0xAE, 0xBA) + r(0xBC, 0xBE) + [0xC0] + r(0xDB, 0xDF) + r(0xF3, 0xFF),
     [], {b: 0x0660 + b - 0x30 for b in r(0x30, 0x39)}),
    # 1987 edition: modifier letters at A1/A2; no euro, drachma or ypogegrammeni.
    ("iso8859_7", 0xA0, [0xAE, 0xD2, 0xFF], [0xA4, 0xA5, 0xAA], {0xA1: 0x02BD, 0xA2: 0x02BC}),
    # 1988 edition: overline at AF; no LRM/RLM at FD/FE.
    ("iso8859_8", 0xA0, [0xA1] + r(0xBF, 0xDE) + [0xFB, 0xFC, 0xFF], [0xFD, 0xFE], {0xAF: 0x203E}),
    ("iso8859_9", 0xA0, [], [], {}),
    # The code pages predate the euro sign at 0x80 (0x88 in cp1251).
    ("cp1250", 0x80, [0x81, 0x83, 0x88, 0x90, 0x98], [0x80], {}),
    ("cp1251", 0x80, [0x98], [0x88], {}),
    ("cp1252", 0x80, [0x81, 0x8D, 0x8F, 0x90, 0x9D], [0x80, 0x8E, 0x9E], {}),
    ("cp1253", 0x80, [0x81, 0x88, 0x8A] + r(0x8C, 0x90) + [0x98, 0x9A] + r(0x9C, 0x9F) + [0xAA, 0xD2, 0xFF],
     [0x80], {}),
    ("cp1254", 0x80, [0x81] + r(0x8D, 0x90) + [0x9D, 0x9E], [0x80], {}),
    ("cp1255", 0x80,
     [0x81, 0x8A] + r(0x8C, 0x90) + [0x9A] + r(0x9C, 0x9F) + [0xCA] + r(0xD9, 0xDF) + [0xFB, 0xFC, 0xFF],
     [0x80, 0xAA, 0xBA, 0xD7, 0xD8], {0xCA: 0x05BA}),
    # Edition before the Urdu and Persian additions.
    ("cp1256", 0x80, [], [0x80, 0x8A, 0x8F, 0x98, 0x9A, 0x9F, 0xAA, 0xC0, 0xFF], {}),
    ("cp1257", 0x80, [0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5], [0x80], {}),
    # Tone marks as the combining grave/acute tone marks U+0340/U+0341.
    ("cp1258", 0x80, [0x81, 0x8A] + r(0x8D, 0x90) + [0x9A, 0x9D, 0x9E], [0x80], {0xCC: 0x0340, 0xEC: 0x0341}),
]


def read_source(codec):
    table = {}
    with open(os.path.join(SOURCES, codec + ".txt")) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            b, u = line.split()
            table[int(b, 16)] = int(u, 16)
    return table


def build(codec, base, unassigned, replaced, remaps):
    src = read_source(codec)
    undecodable = sorted(b for b in range(base, 256) if b not in src)
    if undecodable != sorted(unassigned):
        raise SystemExit("%s: undecodable %s, expected %s" % (codec, [hex(b) for b in undecodable],
                                                              [hex(b) for b in unassigned]))
    for b in replaced:
        if b not in src or src[b] == b:
            raise SystemExit("%s: 0x%02X expected assigned in the source" % (codec, b))
    values = []
    for b in range(base, 256):
        v = src.get(b, b)
        if b in replaced:
            v = b
        v = remaps.get(b, v)
        values.append(v)
    return values


def reverse_index(values, base):
    """unit -> the lowest byte whose table entry holds it."""
    first = {}
    for i, v in enumerate(values):
        first.setdefault(v, base + i)
    return first


def emit(outdir, filename, what, tables):
    out = cheader.Output(filename, "tools/gen/gen_sbcs.py",
                         "tools/gen/sources/sbcs/{%s}.txt" % ",".join(t[0] for t in tables), what)
    code = ""
    for codec, base, unassigned, replaced, remaps in tables:
        values = build(codec, base, unassigned, replaced, remaps)
        code += "inline constexpr unsigned %s_base = 0x%02X;\n" % (codec, base)
        out.add("char16_t", codec + "_to_ucs", values, 2, per_line=8)
        out.page_map("uint8_t", 1, codec + "_rev", reverse_index(values, base))
    out.write(outdir, code + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    emit(args.out, "sbcs_iso8859.h", "ISO 8859-1..9 decoding tables and reverse indexes.",
         [t for t in TABLES if t[0].startswith("iso")])
    emit(args.out, "sbcs_cp125x.h", "Windows code pages 1250..1258 decoding tables and reverse indexes.",
         [t for t in TABLES if t[0].startswith("cp")])


if __name__ == "__main__":
    main()
