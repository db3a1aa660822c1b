#!/usr/bin/env python3
"""Generates data/tamil.h: the tables of the Tamil glyph encodings "tab" and
"tam", which convert through an internal code of one byte per character.

Internal code: 0x01..0x7E ASCII, 0x7F the space; Tamil characters at the
codes below (class and vowel-sign kind drive the reordering).  SSA, U+0BB7,
has the code 0xE6, the code that the glyph charts' SSA ligatures are built
on, so that those glyphs decode to the letter and encode back; 0xE5 is left
without a character.

Outputs:
- tamil_ucs[256]: internal code -> UTF-16 (U+0B20 for codes without one);
- tamil_class[256], tamil_kind[256]: see enc_tm99.cpp;
- tab_glyph / tam_glyph [256 * 4]: glyph byte -> up to four internal codes;
- tamil_code_of_low[256]: low byte of a unit -> internal code, 0 = none;
- tamil_glyph_of[256]: internal code -> glyph byte, 0 = none;
- tab_lig / tam_lig [5 * 256]: (sign slot, consonant) -> ligature byte, the
  lowest glyph byte whose codes are exactly that consonant and sign.

Input: tools/gen/sources/tamil/tab_tam.txt.
Usage: python3 tools/gen/gen_tamil.py --out data
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cheader  # noqa: E402

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sources", "tamil", "tab_tam.txt")

NONE, VOWEL, CONSONANT, SIGN, VIRAMA = 0, 1, 2, 3, 4
AFTER, BEFORE, TWO_PART = 1, 2, 3

# name: (internal code, Unicode or None, class, kind)
CODES = {"AYTHAM": (0x82, 0x0B83, VOWEL, 0)}
for i, n in enumerate(["A", "AA", "I", "II", "U", "UU"]):
    CODES[n] = (0x83 + i, 0x0B85 + i, VOWEL, 0)
for i, n in enumerate(["E", "EE", "AI"]):
    CODES[n] = (0x8A + i, 0x0B8E + i, VOWEL, 0)
for i, n in enumerate(["O", "OO", "AU"]):
    CODES[n] = (0x8E + i, 0x0B92 + i, VOWEL, 0)
for n, c, u in [("KA", 0x92, 0x0B95), ("NGA", 0x96, 0x0B99), ("CA", 0x97, 0x0B9A), ("JA", 0x99, 0x0B9C),
                ("NYA", 0x9B, 0x0B9E), ("TTA", 0x9C, 0x0B9F), ("NNA", 0xA0, 0x0BA3), ("TA", 0xA1, 0x0BA4),
                ("NA", 0xA5, 0x0BA8), ("NNNA", 0xA6, 0x0BA9), ("PA", 0xA7, 0x0BAA), ("MA", 0xAB, 0x0BAE),
                ("YA", 0xAC, 0x0BAF), ("RA", 0xAE, 0x0BB0), ("RRA", 0xAF, 0x0BB1), ("LA", 0xE1, 0x0BB2),
                ("LLA", 0xE2, 0x0BB3), ("LLLA", 0xE3, 0x0BB4), ("VA", 0xE4, 0x0BB5), ("SSA", 0xE6, 0x0BB7),
                ("SA", 0xE7, 0x0BB8), ("HA", 0xE8, 0x0BB9)]:
    CODES[n] = (c, u, CONSONANT, 0)
CODES["X_E5"] = (0xE5, None, CONSONANT, 0)
for i, n in enumerate(["S_AA", "S_I", "S_II", "S_U", "S_UU"]):
    CODES[n] = (0xEA + i, 0x0BBE + i, SIGN, AFTER)
for i, n in enumerate(["S_E", "S_EE", "S_AI"]):
    CODES[n] = (0xF1 + i, 0x0BC6 + i, SIGN, BEFORE)
for i, n in enumerate(["S_O", "S_OO", "S_AU"]):
    CODES[n] = (0xF5 + i, 0x0BCA + i, SIGN, TWO_PART)
CODES["VIRAMA"] = (0xF9, 0x0BCD, VIRAMA, AFTER)
CODES["SPACE"] = (0x7F, 0x0020, NONE, 0)

LIG_SIGNS = ["S_U", "S_UU", "VIRAMA", "S_I", "S_II"]  # slot order


def parse():
    glyphs = {"tab": {}, "tam": {}}
    with open(SOURCE) as f:
        for line in f:
            line = line.split("#")[0].split()
            if not line:
                continue
            which, span, items = line[0], line[1], line[2:]
            a, _, b = span.partition("..")
            first, last = int(a, 16), int(b or a, 16)
            targets = ["tab", "tam"] if which == "both" else [which]
            if len(items) == 1:
                items = items * (last - first + 1)
            assert len(items) == last - first + 1, line
            for byte, item in zip(range(first, last + 1), items):
                if item == "-":
                    codes = []
                elif item == "ASCII":
                    codes = [byte]
                else:
                    codes = [int(p[1:], 16) if p.startswith("X") else CODES[p][0] for p in item.split("+")]
                for t in targets:
                    glyphs[t][byte] = codes
    for t in glyphs:
        assert sorted(glyphs[t]) == list(range(1, 256)), (t, sorted(set(range(1, 256)) - set(glyphs[t])))
    return glyphs


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    glyphs = parse()
    ucs = [0] * 256
    cls = [0] * 256
    kind = [0] * 256
    for c in range(1, 0x7F):
        ucs[c] = c
    for n, (c, u, k, kd) in CODES.items():
        ucs[c] = 0x0B20 if u is None else u
        cls[c], kind[c] = k, kd
    for c in range(0x80, 0x100):
        if ucs[c] == 0:
            ucs[c] = 0x0B20
    code_of_low = [0] * 256
    for c in range(1, 0x7F):
        code_of_low[c] = c
    code_of_low[0x20] = 0x7F  # the space is the internal code 0x7F, glyph byte 0x20
    for n, (c, u, k, kd) in CODES.items():
        if u is not None and u >= 0x0B80:
            assert code_of_low[u & 0xFF] == 0
            code_of_low[u & 0xFF] = c
    glyph_of = [0] * 256
    for c in range(1, 0x7F):
        glyph_of[c] = c
    glyph_of[0x7F] = 0x20
    tab = glyphs["tab"]
    for b in range(0xDC, 0xFE):  # vowels, aytham and consonants stand alone at these bytes
        if len(tab[b]) == 1:
            glyph_of[tab[b][0]] = b
    glyph_of[0xE5] = 0xFB  # the code without a character still writes the SSA glyph
    for n, b in [("S_AA", 0xA3), ("S_I", 0xA4), ("S_II", 0xA6), ("S_U", 0xA7), ("S_UU", 0xA8),
                 ("S_E", 0xAA), ("S_EE", 0xAB), ("S_AI", 0xAC), ("VIRAMA", 0xA2)]:
        glyph_of[CODES[n][0]] = b
    out = cheader.Output("tamil.h", "tools/gen/gen_tamil.py", "tools/gen/sources/tamil/tab_tam.txt",
                         "Tamil TAB and TAM glyph tables and the internal code.")
    out.add("char16_t", "tamil_ucs", ucs, 2, per_line=8)
    out.add("uint8_t", "tamil_class", cls, 1, per_line=16)
    out.add("uint8_t", "tamil_kind", kind, 1, per_line=16)
    slot = [0] * 256
    for i, n in enumerate(LIG_SIGNS):
        slot[CODES[n][0]] = i + 1
    out.add("uint8_t", "tamil_lig_slot", slot, 1, per_line=16)
    out.add("uint8_t", "tamil_code_of_low", code_of_low, 1, per_line=16)
    out.add("uint8_t", "tamil_glyph_of", glyph_of, 1, per_line=16)
    for name in ("tab", "tam"):
        g = glyphs[name]
        flat = []
        for b in range(256):
            codes = g.get(b, [])
            assert len(codes) <= 4
            flat += codes + [0] * (4 - len(codes))
        out.add("uint8_t", name + "_glyph", flat, 1, per_line=16)
        lig = [0] * (len(LIG_SIGNS) * 256)
        for b in range(1, 256):
            codes = g[b]
            if len(codes) == 2 and cls[codes[0]] == CONSONANT and slot[codes[1]]:
                i = (slot[codes[1]] - 1) * 256 + codes[0]
                if lig[i] == 0:
                    lig[i] = b
        out.add("uint8_t", name + "_lig", lig, 1, per_line=16)
    out.write(args.out, "")


if __name__ == "__main__":
    main()
