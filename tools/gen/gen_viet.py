#!/usr/bin/env python3
"""Generates data/viet.h: the Vietnamese letter table of "vni" and "TCVN3"
with its decoding and encoding indexes.

Input: none beyond Python's unicodedata (NFC composition of a base letter and
a tone mark, stable since Unicode 3.0).  The 134 records are built from the
two byte layouts below: 67 lowercase letters in the fixed order (a with the
five tones; a-breve; its five tones; a-circumflex; ...; y with the five tones;
d-stroke), then the 67 capitals in the same order.

Indexes:
- <enc>_single[256]: the letter of a one-byte record, 0 = none;
- <enc>_lead[256]: 0, or the row + 1 of <enc>_pair for a byte that starts a
  two-byte record; <enc>_pair[row][second byte] gives the letter, 0 = none;
- viet_rev: unit -> record number + 1 (0 = none), a paged table.

Usage: python3 tools/gen/gen_viet.py --out data
"""
import argparse
import os
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cheader  # noqa: E402

TONES = ["\u0301", "\u0300", "\u0309", "\u0303", "\u0323"]  # acute grave hook tilde dot
# (base letter, has toneless record, VNI bytes, TCVN3 bytes)
# VNI: (lead, toneless second, [tone seconds]) where lead None = single bytes.
LAYOUT = [
    # base   toneless  VNI toneless     VNI tones                          TCVN3 toneless  TCVN3 tones
    ("a",       False, None,            ("a", [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), None, [0xB8, 0xB5, 0xB6, 0xB7, 0xB9]),
    ("\u0103",  True,  ("a", 0xEA),     ("a", [0xE9, 0xE8, 0xFA, 0xFC, 0xEB]), 0xA8, [0xBE, 0xBB, 0xBC, 0xBD, 0xC6]),
    ("\u00e2",  True,  ("a", 0xE2),     ("a", [0xE1, 0xE0, 0xE5, 0xE3, 0xE4]), 0xA9, [0xCA, 0xC7, 0xC8, 0xC9, 0xCB]),
    ("e",       False, None,            ("e", [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), None, [0xD0, 0xCC, 0xCE, 0xCF, 0xD1]),
    ("\u00ea",  True,  ("e", 0xE2),     ("e", [0xE1, 0xE0, 0xE5, 0xE3, 0xE4]), 0xAA, [0xD5, 0xD2, 0xD3, 0xD4, 0xD6]),
    ("i",       False, None,            (None, [0xED, 0xEC, 0xE6, 0xF3, 0xF2]), None, [0xDD, 0xD7, 0xD8, 0xDC, 0xDE]),
    ("o",       False, None,            ("o", [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), None, [0xE3, 0xDF, 0xE1, 0xE2, 0xE4]),
    ("\u00f4",  True,  ("o", 0xE2),     ("o", [0xE1, 0xE0, 0xE5, 0xE3, 0xE4]), 0xAB, [0xE8, 0xE5, 0xE6, 0xE7, 0xE9]),
    ("\u01a1",  True,  (0xF4, 0),       (0xF4, [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), 0xAC, [0xED, 0xEA, 0xEB, 0xEC, 0xEE]),
    ("u",       False, None,            ("u", [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), None, [0xF3, 0xEF, 0xF1, 0xF2, 0xF4]),
    ("\u01b0",  True,  (0xF6, 0),       (0xF6, [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), 0xAD, [0xF8, 0xF5, 0xF6, 0xF7, 0xF9]),
    ("y",       False, None,            ("y", [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]), None, [0xFD, 0xFA, 0xFB, 0xFC, 0xFE]),
]
# Toneless capitals in TCVN3: single bytes 0xA1.. in the order of the bases.
TCVN3_CAPITAL = {"\u0103": 0xA1, "\u00e2": 0xA2, "\u00ea": 0xA3, "\u00f4": 0xA4, "\u01a1": 0xA5, "\u01b0": 0xA6,
                 "\u0111": 0xA7}


def lead_byte(lead, upper):
    if isinstance(lead, str):
        return ord(lead.upper() if upper else lead)
    return lead - 0x20 if upper and lead >= 0xC0 else lead


def vni_second(b, upper):
    return b - 0x20 if upper and b >= 0xC0 else b


def records():
    out = []
    for upper in (False, True):
        for base, toneless, vni_tl, (vlead, vtones), tcvn_tl, ttones in LAYOUT:
            if toneless:
                ch = base.upper() if upper else base
                lead, second = vni_tl
                vni = (lead_byte(lead, upper), vni_second(second, upper) if second else 0)
                tcvn = (TCVN3_CAPITAL[base], 0) if upper else (tcvn_tl, 0)
                out.append((ch, vni, tcvn))
            for t, (vt, tt) in enumerate(zip(vtones, ttones)):
                ch = unicodedata.normalize("NFC", base + TONES[t])
                if upper:
                    ch = ch.upper()
                if vlead is None:  # i: single bytes
                    vni = (vni_second(vt, upper), 0)
                elif base == "y" and t == 4:  # y with dot below: single byte 0xEE
                    vni = (vni_second(0xEE, upper), 0)
                else:
                    vni = (lead_byte(vlead, upper), vni_second(vt, upper))
                if upper:
                    cap = TCVN3_CAPITAL.get(base, ord(unicodedata.normalize("NFD", base)[0].upper()))
                    tcvn = (cap, tt)
                else:
                    tcvn = (tt, 0)
                out.append((ch, vni, tcvn))
        ch = "\u0110" if upper else "\u0111"
        out.append((ch, (0xD1 if upper else 0xF1, 0), (TCVN3_CAPITAL["\u0111"] if upper else 0xAE, 0)))
    assert len(out) == 134, len(out)
    for ch, _, _ in out:
        assert len(ch) == 1 and 0xC0 <= ord(ch) <= 0x1EF9, ch
    assert len({ch for ch, _, _ in out}) == 134
    assert len({v for _, v, _ in out}) == 134 and len({t for _, _, t in out}) == 134
    return out


def decode_index(recs, col):
    single = [0] * 256
    lead = [0] * 256
    rows = []
    for rec in recs:
        first, second = rec[col]
        u = ord(rec[0])
        if second == 0:
            assert single[first] == 0
            single[first] = u
            continue
        if lead[first] == 0:
            rows.append([0] * 256)
            lead[first] = len(rows)
        row = rows[lead[first] - 1]
        assert row[second] == 0
        row[second] = u
    return single, lead, [x for r in rows for x in r], len(rows)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    recs = records()
    out = cheader.Output("viet.h", "tools/gen/gen_viet.py", "the VNI and TCVN3 layouts in the generator",
                         "Vietnamese letter records of \"vni\" and \"TCVN3\" and their indexes.")
    code = "inline constexpr unsigned viet_records = %d;\n" % len(recs)
    out.add("char16_t", "viet_ucs", [ord(r[0]) for r in recs], 2, per_line=8)
    out.add("uint8_t", "viet_vni", [b for r in recs for b in r[1]], 1, per_line=16)
    out.add("uint8_t", "viet_tcvn3", [b for r in recs for b in r[2]], 1, per_line=16)
    for col, name in ((1, "vni"), (2, "tcvn3")):
        single, lead, pair, nrows = decode_index(recs, col)
        out.add("char16_t", name + "_single", single, 2, per_line=8)
        out.add("uint8_t", name + "_lead", lead, 1, per_line=16)
        out.add("char16_t", name + "_pair", pair, 2, per_line=8)
        code += "inline constexpr unsigned %s_pair_rows = %d;\n" % (name, nrows)
    first = {}
    for i, r in enumerate(recs):
        first.setdefault(ord(r[0]), i + 1)
    out.page_map("uint8_t", 1, "viet_rev", first)
    out.write(args.out, code + "\n")


if __name__ == "__main__":
    main()
