#!/usr/bin/env python3
"""Writes the name corpus of the names benchmark: host names in many scripts
under the top-level domains of the public suffix list, one UTF-8 name a line.

Each name has one to three labels of letters of one script (Latin with
diacritics, Greek, Cyrillic, Armenian, Georgian, Arabic, Hebrew, Thai,
Devanagari, Tamil, Chinese, Japanese kana and kanji, Hangul), sometimes a
"www." or "mail." label or a label of a second script in front, then a
top-level domain: half the names take one of the common ones, the rest one
drawn from every ICANN top-level domain, and a few an internationalized
top-level domain of the same script; none is ASCII only.  Names are lower
case and NFC and keep
to characters on which the IDN standards agree (no sharp s, final sigma,
joiners, context-rule characters or compatibility characters), so that
nearly every name passes every library under comparison; the benchmark keeps
those that all of them convert.

Usage: python3 tools/gen_name_corpus.py --out names.txt [--count 100000]
           [--psl tools/gen/sources/public_suffix_list.dat] [--seed 13]
The default suffix list is the pinned copy the shipped zone table is made
from, so every top-level domain drawn has a zone; the run is deterministic.
"""
import argparse
import os
import random
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
PINNED_PSL = os.path.join(HERE, "gen", "sources", "public_suffix_list.dat")


def letters(*ranges, skip=()):
    out = []
    for lo, hi in ranges:
        out += [chr(c) for c in range(lo, hi + 1) if c not in skip]
    return out


# Base letters per script, and marks that may follow a base letter.
LATIN = list("abcdefghijklmnopqrstuvwxyz") * 3 + [
    c for c in letters((0xE0, 0x17F), skip={0x131, 0x138, 0x140, 0x149, 0x17F})
    if unicodedata.category(c) == "Ll" and not unicodedata.decomposition(c).startswith("<")]
SCRIPTS = {
    "latin": (LATIN, [], 0),
    "greek": (letters((0x3B1, 0x3C9), skip={0x3C2}) + letters((0x3AC, 0x3AF)), [], 0),
    "cyrillic": (letters((0x430, 0x44F)) + ["\u0451", "\u0456", "\u0457", "\u0454"], [], 0),
    "armenian": (letters((0x561, 0x586)), [], 0),
    "georgian": (letters((0x10D0, 0x10F0)), [], 0),
    "arabic": (letters((0x627, 0x63A), (0x641, 0x648), skip={0x629}) + ["\u064A"], [], 0),
    "hebrew": (letters((0x5D0, 0x5EA)), [], 0),
    "thai": (letters((0xE01, 0xE2E), skip={0xE24, 0xE26}), letters((0xE34, 0xE37)) +
             ["\u0E31", "\u0E48", "\u0E49"], 3),
    "devanagari": (letters((0x915, 0x939)), letters((0x93E, 0x944), (0x947, 0x948)), 3),
    "tamil": (letters((0xB95, 0xB95), (0xB99, 0xB9A), (0xB9E, 0xB9F), (0xBA3, 0xBA4),
                      (0xBA8, 0xBAA), (0xBAE, 0xBB5), (0xBB7, 0xBB9)),
              letters((0xBBE, 0xBC2), (0xBC6, 0xBC8)), 3),
    "chinese": (letters((0x4E00, 0x9FA5)), [], 0),
    "kana": (letters((0x3042, 0x3093), (0x30A2, 0x30F3)), [], 0),
    "hangul": (letters((0xAC00, 0xD7A3)), [], 0),
}
WEIGHTS = {"latin": 20, "greek": 5, "cyrillic": 12, "armenian": 2, "georgian": 2,
           "arabic": 8, "hebrew": 4, "thai": 5, "devanagari": 6, "tamil": 3,
           "chinese": 15, "kana": 8, "hangul": 10}
COMMON_TLDS = ["com", "net", "org", "de", "ru", "cn", "jp", "kr", "in", "th", "gr",
               "il", "sa", "eu", "fr", "info", "ua", "br", "it", "pl", "tw", "hk",
               "ir", "eg", "am", "ge", "lk", "ch", "at", "vn"]


def icann_tlds(path):
    """Top-level labels of the ICANN section, in order, ASCII and not."""
    out, seen, inside = [], set(), False
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if "===BEGIN ICANN DOMAINS===" in line:
                inside = True
            elif "===END ICANN DOMAINS===" in line:
                break
            elif inside and line and not line.startswith("//"):
                tld = line.lstrip("*.!").split(".")[-1]
                if tld not in seen:
                    seen.add(tld)
                    out.append(tld)
    return out


def script_of(text):
    for name, (bases, marks, _) in SCRIPTS.items():
        allowed = set(bases) | set(marks)
        if all(c in allowed for c in text):
            return name
    return None


def label(rng, script):
    bases, marks, one_in = SCRIPTS[script]
    short = script in ("chinese", "kana", "hangul")
    n = rng.randint(2, 5) if short else rng.randint(3, 12)
    out = []
    for _ in range(n):
        out.append(rng.choice(bases))
        if marks and rng.randrange(one_in) == 0:
            out.append(rng.choice(marks))
    return unicodedata.normalize("NFC", "".join(out))


def name(rng, script, ascii_tlds, idn_tlds):
    labels = [label(rng, script) for _ in range(rng.choice((1, 1, 1, 2, 2, 3)))]
    r = rng.random()
    if r < 0.15:
        labels.insert(0, rng.choice(("www", "mail", "shop", "web")))
    elif r < 0.22:
        other = rng.choice([s for s in SCRIPTS if s not in ("arabic", "hebrew")])
        if script not in ("arabic", "hebrew"):
            labels.insert(0, label(rng, other))
    r = rng.random()
    if r < 0.05 and idn_tlds.get(script):
        tld = rng.choice(idn_tlds[script])
    elif r < 0.55:
        tld = rng.choice(COMMON_TLDS)
    else:
        tld = rng.choice(ascii_tlds)
    return ".".join(labels + [tld])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--count", type=int, default=100000)
    ap.add_argument("--psl", default=PINNED_PSL)
    ap.add_argument("--seed", type=int, default=13)
    args = ap.parse_args()
    tlds = icann_tlds(args.psl)
    ascii_tlds = [t for t in tlds if t.isascii()]
    idn_tlds = {}
    for t in tlds:
        s = None if t.isascii() else script_of(t)
        if s:
            idn_tlds.setdefault(s, []).append(t)
    missing = [t for t in COMMON_TLDS if t not in ascii_tlds]
    if missing:
        sys.exit("gen_name_corpus: not in the suffix list: " + " ".join(missing))
    rng = random.Random(args.seed)
    scripts = list(WEIGHTS)
    weights = [WEIGHTS[s] for s in scripts]
    seen, names = set(), []
    while len(names) < args.count:
        n = name(rng, rng.choices(scripts, weights)[0], ascii_tlds, idn_tlds)
        # A name of ASCII only needs no conversion (the library answers 7001).
        if n not in seen and not n.isascii():
            seen.add(n)
            names.append(n)
    tmp = args.out + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(names) + "\n")
    os.replace(tmp, args.out)


if __name__ == "__main__":
    main()
