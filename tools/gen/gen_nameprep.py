#!/usr/bin/env python3
"""Generates the nameprep tables: data/nfkc.h, data/nameprep_map.h,
data/variants_zh.h and data/nameprep_premap.h.

Inputs (tools/gen/sources/nameprep/, see tools/gen/sources/SOURCES.md):
  UnicodeData-3.1.0.txt   decompositions and combining classes (BMP only)
  Mapping.pm              RFC 3454 tables B.1 and B.2 as text
  zh-variant-pairs.txt    Chinese variant pair list, in list order
  zh-s2t-pairs.txt        Simplified-to-Traditional pairs

Usage: python3 tools/gen/gen_nameprep.py --out data
Standard library only; the run is deterministic, so the outputs can be diffed
against the checked-in copies.
"""
import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cheader  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "sources", "nameprep")

SBASE, LBASE, VBASE, TBASE = 0xAC00, 0x1100, 0x1161, 0x11A7
LCOUNT, VCOUNT, TCOUNT = 19, 21, 28
NCOUNT = VCOUNT * TCOUNT
SCOUNT = LCOUNT * NCOUNT

# Ranges outside which every combining class is 0; the 3.1 data must agree.
CLASS_RANGES = [
    (0x0300, 0x0362), (0x0483, 0x0486), (0x0591, 0x05C4), (0x064B, 0x06ED),
    (0x0711, 0x074A), (0x093C, 0x0954), (0x09BC, 0x09CD), (0x0A3C, 0x0A4D),
    (0x0ABC, 0x0ACD), (0x0B3C, 0x0B4D), (0x0C4D, 0x0C56), (0x0E38, 0x0E4B),
    (0x0EB8, 0x0ECB), (0x0F18, 0x0FC6), (0x1037, 0x1039), (0x20D0, 0x20E1),
    (0x302A, 0x302F), (0x3099, 0x309A), (0xFE20, 0xFE23),
    (0x0BCD, 0x0BCD), (0x0CCD, 0x0CCD), (0x0D4D, 0x0D4D), (0x0DCA, 0x0DCA),
    (0x17D2, 0x17D2), (0x18A9, 0x18A9), (0xFB1E, 0xFB1E),
]


def fail(msg):
    sys.exit("gen_nameprep: " + msg)


# ---------------------------------------------------------------- output helpers

def Header(filename, inputs, what):
    return cheader.Output(filename, "tools/gen/gen_nameprep.py",
                          ", ".join("tools/gen/sources/nameprep/" + i for i in inputs), what)


# ---------------------------------------------------------------- sources

def read_unicode_31():
    canonical, compat, classes = {}, {}, {}
    with open(os.path.join(SRC, "UnicodeData-3.1.0.txt"), encoding="ascii") as f:
        for line in f:
            fields = line.rstrip("\n").split(";")
            cp = int(fields[0], 16)
            if cp > 0xFFFF:
                continue
            if int(fields[3]):
                classes[cp] = int(fields[3])
            dec = fields[5].strip()
            if not dec:
                continue
            if dec.startswith("<"):
                compat[cp] = [int(x, 16) for x in dec.split(">", 1)[1].split()]
            else:
                canonical[cp] = [int(x, 16) for x in dec.split()]
    return canonical, compat, classes


def read_mapping_pm():
    text = open(os.path.join(SRC, "Mapping.pm"), encoding="utf-8").read()
    tables = {}
    for name in ("B1", "B2"):
        m = re.search(r"our @%s = _mk_map\(<<END\);\n(.*?)\nEND\n" % name, text, re.S)
        if not m:
            fail("no @%s block in Mapping.pm" % name)
        rows = {}
        for line in m.group(1).splitlines():
            key, value = line.split(";")[:2]
            rows[int(key, 16)] = [int(x, 16) for x in value.split()]
        tables[name] = rows
    return tables["B1"], tables["B2"]


def read_pairs(name):
    pairs = []
    with open(os.path.join(SRC, name), encoding="ascii") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                a, b = line.split()
                pairs.append((int(a, 16), int(b, 16)))
    return pairs


# ---------------------------------------------------------------- nfkc.h

def full_decomposition(cp, canonical, compat):
    """Recursive decomposition, canonical before compatibility at every level;
    Hangul syllables met on the way decompose algorithmically."""
    if cp in canonical or cp in compat:
        out = []
        for u in canonical.get(cp) or compat[cp]:
            out += full_decomposition(u, canonical, compat)
        return out
    if SBASE <= cp < SBASE + SCOUNT:
        s = cp - SBASE
        out = [LBASE + s // NCOUNT, VBASE + (s % NCOUNT) // TCOUNT]
        if s % TCOUNT:
            out.append(TBASE + s % TCOUNT)
        return out
    return [cp]


def list_sequence(entries):
    seq = []
    for cp in sorted(entries):
        seq += [cp] + entries[cp] + [0]
    return seq + [0]


def gen_nfkc(outdir):
    canonical, compat, classes = read_unicode_31()
    if set(canonical) & set(compat):
        fail("a unit has both a canonical and a compatibility decomposition")
    for cp in classes:
        if not any(lo <= cp <= hi for lo, hi in CLASS_RANGES):
            fail("U+%04X has a class outside the known ranges" % cp)

    h = Header("nfkc.h", ["UnicodeData-3.1.0.txt"],
               "Unicode 3.1 normalization data for the BMP: decomposition lists, full "
               "decompositions, combining classes, composition pair index.")
    # The source lists: composite, its one-level decomposition, 0; ended by 0.
    h.scalar("unsigned", "kCanonicalCount", len(canonical))
    h.add("char16_t", "kCanonicalList", list_sequence(canonical), 2)
    h.scalar("unsigned", "kCompatibilityCount", len(compat))
    h.add("char16_t", "kCompatibilityList", list_sequence(compat), 2)

    # Full decompositions: pool[offset] = length, then the units.
    pool, offsets = [0], {}
    for cp in sorted(set(canonical) | set(compat)):
        full = full_decomposition(cp, canonical, compat)
        offsets[cp] = len(pool)
        pool += [len(full)] + full
    if len(pool) > 0xFFFF:
        fail("decomposition pool too large for 16-bit offsets")
    h.scalar("unsigned", "kMaxDecompositionLength",
             max(pool[o] for o in offsets.values()))
    h.add("char16_t", "kDecompositionPool", pool, 2, per_line=16)
    h.page_map("uint16_t", 2, "kDecomposition", offsets)

    h.page_map("uint8_t", 1, "kCombiningClass", classes)

    # Composition pair index: numbers in order of first appearance over the
    # two-unit canonical entries in list order.
    first, second = {}, {}
    for cp in sorted(canonical):
        dec = canonical[cp]
        if len(dec) == 2:
            first.setdefault(dec[0], len(first) + 1)
            second.setdefault(dec[1], len(second) + 1)
    matrix = [0] * (len(first) * len(second))
    for cp in sorted(canonical):
        dec = canonical[cp]
        if len(dec) == 2:
            matrix[(second[dec[1]] - 1) * len(first) + first[dec[0]] - 1] = cp
    h.scalar("uint16_t", "kFirstCount", len(first))
    h.scalar("uint16_t", "kSecondCount", len(second))
    h.page_map("uint16_t", 2, "kFirstIndex", first)
    h.page_map("uint16_t", 2, "kSecondIndex", second)
    h.add("char16_t", "kCompositionMatrix", matrix, 2, per_line=16)
    h.write(outdir)


# ---------------------------------------------------------------- nameprep_map.h

def gen_mapping(outdir):
    b1, b2 = read_mapping_pm()
    table = {}
    for src in (b1, b2):
        for key, value in src.items():
            if key > 0xFFFF:
                continue
            if key in table or any(u > 0xFFFF for u in value):
                fail("mapping U+%04X is doubled or leaves the BMP" % key)
            table[key] = value
    if 0x0131 in table:
        fail("U+0131 is already in the stringprep tables")
    table[0x0131] = [0x0069]  # dotless i folds to i: neither stringprep table has it
    seq, index, entry_no = [], [], {}
    for n, key in enumerate(sorted(table), 1):
        index.append(len(seq))
        entry_no[key] = n
        seq += [key] + table[key] + [0]
    seq.append(0)
    h = Header("nameprep_map.h", ["Mapping.pm"],
               "Nameprep mapping: RFC 3454 tables B.1 and B.2 in the BMP plus U+0131 -> U+0069.")
    h.scalar("unsigned", "kMapCount", len(table))
    h.add("char16_t", "kMapTable", seq, 2, per_line=16)
    h.add("uint16_t", "kMapIndex", index, 2, per_line=16)
    h.page_map("uint16_t", 2, "kMapEntry", entry_no)
    h.write(outdir)


# ---------------------------------------------------------------- variants_zh.h / premap

def korean_pairs():
    circled = [0x3131, 0x3134, 0x3137, 0x3139, 0x3141, 0x3142, 0x3145,
               0x3147, 0x3148, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E]
    pairs = [(0x3260 + i, u) for i, u in enumerate(circled)]
    pairs.append((0xFFA0, 0x3164))
    for lo, hi, to in ((0xFFA1, 0xFFBE, 0x3131), (0xFFC2, 0xFFC7, 0x314F),
                       (0xFFCA, 0xFFCF, 0x3155), (0xFFD2, 0xFFD7, 0x315B),
                       (0xFFDA, 0xFFDC, 0x3161)):
        pairs += [(c, to + c - lo) for c in range(lo, hi + 1)]
    return pairs


def check_sorted_unique(name, pairs):
    keys = [a for a, _ in pairs]
    if keys != sorted(set(keys)):
        fail("%s is not sorted with unique keys" % name)


def gen_variants(outdir):
    zh = read_pairs("zh-variant-pairs.txt")
    if any(a == 0 or b == 0 for a, b in zh):
        fail("zero unit in the Chinese variant list")
    h = Header("variants_zh.h", ["zh-variant-pairs.txt"],
               "Chinese variant pair list (variant, representative), in build order, "
               "ended by a (0, 0) pair.")
    h.scalar("unsigned", "kZhVariantPairCount", len(zh))
    h.add("char16_t", "kZhVariantPairs", [u for p in zh for u in p] + [0, 0], 2, per_line=16)
    h.write(outdir)

    s2t = read_pairs("zh-s2t-pairs.txt")
    ko, ja = korean_pairs(), [(0x2212, 0xFF0D), (0x309B, 0x3099), (0x309C, 0x309A)]
    h = Header("nameprep_premap.h", ["zh-s2t-pairs.txt"],
               "Premapping tables: Japanese, Korean, Simplified-to-Traditional; sorted "
               "(unit, replacement) pairs and a direct lookup for each.")
    for name, pairs in (("kJapanese", ja), ("kKorean", ko), ("kS2T", s2t)):
        check_sorted_unique(name, pairs)
        h.scalar("unsigned", name + "Count", len(pairs))
        h.add("char16_t", name + "Pairs", [u for p in pairs for u in p], 2,
              per_line=16, dims="[%d][2]" % len(pairs))
        h.page_map("char16_t", 2, name + "Map", dict(pairs))
    h.write(outdir)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    gen_nfkc(args.out)
    gen_mapping(args.out)
    gen_variants(args.out)


if __name__ == "__main__":
    main()
