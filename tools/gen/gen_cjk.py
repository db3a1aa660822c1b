#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the CJK double-byte tables: data/big5.h, data/gbk.h, data/jisx0208.h,
data/ksc.h and data/jisx0212.h.

Each header holds the decoding table (code -> UTF-16 unit, 0xFFFD for a
position without a character) and a two-level reverse index (unit -> code,
0 for none) that gives, for every unit, the lowest code holding it, which is
what a search of the decoding table from its start would find.

Inputs, all under tools/gen/sources/: the Unicode mapping files BIG5.TXT,
JIS0208.TXT and JIS0212.TXT and, for GBK and the Korean table, the dumps
cjk/cp936.txt and cjk/cp949.txt of Python's codecs (dump_cjk_codecs.py).

Usage: python3 tools/gen/gen_cjk.py --out DIR   (writes DIR/big5.h ...)
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cheader  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, "sources")
NONE = 0xFFFD

# Run by tools/gen/regen_all.py: this script writes data/ tables.
REGEN_ALL = True


def read_mapping(name, code_col, ucs_col):
    """(code, unit) pairs of a Unicode mapping file, comments dropped."""
    pairs = []
    with open(os.path.join(SOURCES, name), encoding="latin-1") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            pairs.append((int(line[code_col], 16), int(line[ucs_col], 16)))
    return pairs


def big5_index(code):
    lead, trail = code >> 8, code & 0xFF
    off = trail - 0x40 if trail <= 0x7E else trail - 0x62
    return (lead - 0xA1) * 157 + off


def big5_code(index):
    off = index % 157
    return ((0xA1 + index // 157) << 8) | (off + 0x40 if off <= 62 else off + 0x62)


def build_big5():
    table = [NONE] * 13939
    for code, ucs in read_mapping("BIG5.TXT", 0, 1):
        table[big5_index(code)] = ucs  # the file marks its holes 0xFFFD
    # Code page 950 has nothing in the ETEN kana/symbol block C6A1..C8FE.
    for code in range(0xC6A1, 0xC8FF):
        if 0x40 <= (code & 0xFF) <= 0x7E or 0xA1 <= (code & 0xFF) <= 0xFE:
            table[big5_index(code)] = NONE
    # The seven ETEN characters that code page 950 adds at F9D6..F9DC.
    for i, ucs in enumerate((0x7881, 0x92B9, 0x88CF, 0x58BB, 0x6052, 0x7CA7, 0x5AFA)):
        table[big5_index(0xF9D6 + i)] = ucs
    # Deliberate: C255 is U+5F5E here, where the mapping file and code page
    # 950 both say U+5F5D.
    table[big5_index(0xC255)] = 0x5F5E
    # A3E1 (euro sign in later code pages) has no character.
    table[big5_index(0xA3E1)] = NONE
    return table, 0xA140, big5_code


def build_codec_table(codec, first, last):
    """The table of codes first..last from the codec's dump, NONE where it has no entry."""
    m = dict(read_mapping(os.path.join("cjk", codec + ".txt"), 0, 1))
    return [m.get(code, NONE) for code in range(first, last + 1)]


def build_gbk():
    table = build_codec_table("cp936", 0x8140, 0xFE4F)
    return table, 0x8140, lambda i: 0x8140 + i


def build_ksc():
    table = build_codec_table("cp949", 0x8140, 0xFDFF)
    # A2E6 and A2E7 (euro and registered signs, added in 1998) stay empty.
    for code in (0xA2E6, 0xA2E7):
        table[code - 0x8140] = NONE
    return table, 0x8140, lambda i: 0x8140 + i


def jisx0208_code(index):
    return (0x21 + index // 94) << 8 | (0x21 + index % 94)


def build_jisx0208():
    """By row and cell: the 7-bit code (0x21 + row - 1) << 8 | (0x21 + cell - 1)
    at index (row - 1) * 94 + cell - 1."""
    table = [NONE] * (94 * 94)
    for code, ucs in read_mapping("JIS0208.TXT", 1, 2):
        table[((code >> 8) - 0x21) * 94 + (code & 0xFF) - 0x21] = ucs
    return table, 0x2121, jisx0208_code


def build_jisx0212():
    table = [NONE] * (0x6D63 - 0x222F + 1)
    for code, ucs in read_mapping("JIS0212.TXT", 0, 1):
        table[code - 0x222F] = ucs
    return table, 0x222F, lambda i: 0x222F + i


def reverse_index(table, code_of):
    """unit -> the lowest code that holds it."""
    rev = {}
    for i, ucs in enumerate(table):
        if ucs != NONE and ucs not in rev:
            rev[ucs] = code_of(i)
    return rev


TABLES = [
    # file, prefix, builder, input description, first-code comment
    ("big5.h", "big5", build_big5, "tools/gen/sources/BIG5.TXT",
     "index (lead - 0xA1) * 157 + trail offset, codes 0xA140..0xF9DC"),
    ("gbk.h", "gbk", build_gbk, "tools/gen/sources/cjk/cp936.txt",
     "index code - 0x8140, codes 0x8140..0xFE4F"),
    ("jisx0208.h", "jisx0208", build_jisx0208, "tools/gen/sources/JIS0208.TXT",
     "index (row - 1) * 94 + cell - 1, 7-bit codes 0x2121..0x7E7E"),
    ("ksc.h", "ksc", build_ksc, "tools/gen/sources/cjk/cp949.txt",
     "index code - 0x8140, codes 0x8140..0xFDFF"),
    ("jisx0212.h", "jisx0212", build_jisx0212, "tools/gen/sources/JIS0212.TXT",
     "index code - 0x222F, codes 0x222F..0x6D63 (7-bit byte pairs)"),
]


def render(fname, prefix, builder, source, layout):
    table, _first, code_of = builder()
    rev = reverse_index(table, code_of)
    chars = sum(1 for v in table if v != NONE)
    if chars != len(rev):
        sys.exit(f"{fname}: a code point is held twice")
    out = cheader.Output(fname, "tools/gen/gen_cjk.py", source,
                         f"{prefix} decoding table and reverse index.")
    out.add("uint16_t", f"{prefix}_to_ucs", table, 2)
    out.page_map("uint16_t", 2, f"ucs_to_{prefix}", rev, per_line=12)
    code = (f"// {prefix}_to_ucs: {layout}; 0xFFFD = no character.\n"
            f"// ucs_to_{prefix}[u] gives the lowest code holding u, or 0.\n"
            f"inline constexpr int {prefix}_char_count = {chars};\n\n")
    return out, code


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True, help="directory that receives the headers")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for fname, prefix, builder, source, layout in TABLES:
        out, code = render(fname, prefix, builder, source, layout)
        out.write(args.out, code)


if __name__ == "__main__":
    main()
