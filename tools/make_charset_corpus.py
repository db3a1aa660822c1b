#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the text corpora of the charset benchmark (bench/charset_peer_bench).

For each charset, about --bytes bytes of text in the charset's own script,
in lines of about 100 bytes: CJK lines of everyday ideographs (and kana or
Hangul) with the script's punctuation and now and then ASCII digits or a Latin
word; Hangul, Cyrillic, Greek, Arabic, Hebrew and Thai lines of words and
sentences; Latin lines of words whose letters are sometimes accented.  The
repertoire comes from Python's codecs, as the golden-file generators' does.

Files per charset KEY, in --out: KEY.native (the lines in the charset, each
ended by "\\n") and KEY.u16 (the same lines in UTF-16LE, each ended by U+000A).
The benchmark drops any line on which this library, ICU and iconv do not
agree both ways, and says how many it kept.

Usage: python3 tools/make_charset_corpus.py --out DIR [--bytes N] [--seed S]
"""
import argparse
import os
import random
import re
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# key, Python codec, kind
CHARSETS = [
    ("GBK", "gbk", "cjk"), ("Big5", "big5", "cjk"), ("Shift_JIS", "shift_jis", "ja"),
    ("EUC-JP", "euc_jp", "ja"), ("jis", "iso2022_jp", "ja"), ("EUC-KR", "euc_kr", "ko"),
] + [("iso8859-%d" % i, "iso8859_%d" % i, "sbcs") for i in range(1, 10)] + [
    ("cp%d" % i, "cp%d" % i, "sbcs") for i in range(1250, 1259)] + [("tsc", "tis_620", "sbcs")]


def decodes(raw, codec):
    try:
        s = raw.decode(codec)
    except UnicodeDecodeError:
        return None
    return s if len(s) == 1 else None


def pairs(codec, leads, trails):
    out = []
    for lead in leads:
        for trail in trails:
            c = decodes(bytes([lead, trail]), codec)
            if c is not None and unicodedata.category(c).startswith("L"):
                out.append(c)
    return out


def cjk_repertoire(key, codec):
    """Everyday characters: the first level of each national set, and kana."""
    if key == "GBK":
        han = pairs(codec, range(0xB0, 0xD8), range(0xA1, 0xFF))
        punct = "，。、；：？！"
        return han, [], punct
    if key == "Big5":
        # Only characters that our table (tests/golden/big5.map) maps alike.
        ours = {}
        with open(os.path.join(ROOT, "tests", "golden", "big5.map"), encoding="ascii") as f:
            for line in f:
                if not line.startswith("#"):
                    code, unit = line.split()
                    ours[int(code, 16)] = chr(int(unit, 16))
        han = [c for lead in range(0xA4, 0xC7)
               for trail in list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
               for c in [decodes(bytes([lead, trail]), codec)]
               if c is not None and unicodedata.category(c).startswith("L")
               and ours.get(lead << 8 | trail) == c]
        return han, [], "，。、；：？！"
    # Japanese: JIS level 1 kanji and hiragana / katakana, through EUC-JP.
    han = pairs("euc_jp", range(0xB0, 0xD0), range(0xA1, 0xFF))
    kana = pairs("euc_jp", [0xA4, 0xA5], range(0xA1, 0xF4))
    return han, kana, "、。「」"


def line_cjk(rng, han, kana, punct, target):
    s = []
    n = 0
    while n < target:
        r = rng.random()
        if kana and r < 0.35:
            c = rng.choice(kana)
        elif r < 0.93:
            c = rng.choice(han)
        elif r < 0.97:
            c = rng.choice(punct)
        else:
            c = str(rng.randint(1, 2030))  # digits or a year in ASCII
        s.append(c)
        n += 2 if ord(c[0]) > 0x7F else len(c)
    return "".join(s)


def our_sbcs_table(key):
    """byte -> character of our own table (data/sbcs_*.h), for the letters
    on which Python's codec and our edition of the charset agree."""
    name = key.replace("-", "_")
    header = "sbcs_iso8859.h" if key.startswith("iso") else "sbcs_cp125x.h"
    with open(os.path.join(ROOT, "data", header), encoding="utf-8") as f:
        text = f.read()
    base = int(re.search(name + r"_base = (0x[0-9A-Fa-f]+)", text).group(1), 16)
    body = re.search(name + r"_to_ucs\[\d+\] = \{(.*?)\};", text, re.S).group(1)
    units = [int(v, 16) for v in re.findall(r"0x[0-9A-Fa-f]+", body)]
    return {b: chr(b) if b < base else chr(units[b - base]) for b in range(256)}, base


def sbcs_letters(key, codec):
    ours, _ = our_sbcs_table(key) if key != "tsc" else ({}, 0)
    upper = []
    for b in range(0x80, 0x100):
        c = decodes(bytes([b]), codec)
        if c is not None and unicodedata.category(c).startswith("L") and ours.get(b, c) == c:
            upper.append(c)
    latin = sum(1 for c in upper if "LATIN" in unicodedata.name(c, "")) > len(upper) // 2
    return upper, latin


def line_words(rng, letters, latin, target, digits=True):
    words = []
    n = 0
    ascii_letters = "abcdefghijklmnopqrstuvwxyz"
    while n < target:
        length = rng.randint(2, 9)
        if latin:
            w = "".join(rng.choice(letters) if rng.random() < 0.12 else rng.choice(ascii_letters)
                        for _ in range(length))
        else:
            w = "".join(rng.choice(letters) for _ in range(length))
        if rng.random() < 0.1:
            w += rng.choice(",.")
        if digits and rng.random() < 0.04:
            w = str(rng.randint(0, 999))
        words.append(w)
        n += len(w) + 1
    return " ".join(words)


def hangul_words(rng, syllables, target):
    words = []
    n = 0
    while n < target:
        w = "".join(rng.choice(syllables) for _ in range(rng.randint(1, 4)))
        if rng.random() < 0.1:
            w += rng.choice(",.")
        words.append(w)
        n += 2 * len(w) + 1
    return " ".join(words)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True)
    ap.add_argument("--bytes", type=int, default=1_000_000)
    ap.add_argument("--seed", type=int, default=14)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for key, codec, kind in CHARSETS:
        rng = random.Random(f"{args.seed}-{key}")
        if kind in ("cjk", "ja"):
            han, kana, punct = cjk_repertoire(key, codec)
            make = lambda: line_cjk(rng, han, kana, punct, 100)
        elif kind == "ko":
            syllables = pairs(codec, range(0xB0, 0xC9), range(0xA1, 0xFF))
            make = lambda: hangul_words(rng, syllables, 100)
        else:
            letters, latin = sbcs_letters(key, codec)
            # "iso8859-6" writes the digits as Arabic-Indic ones.
            digits = key != "iso8859-6"
            make = lambda: line_words(rng, letters, latin, 100, digits)
        native = bytearray()
        u16 = bytearray()
        while len(native) < args.bytes:
            text = make()
            native += text.encode(codec) + b"\n"
            u16 += (text + "\n").encode("utf-16-le")
        with open(os.path.join(args.out, key + ".native"), "wb") as f:
            f.write(native)
        with open(os.path.join(args.out, key + ".u16"), "wb") as f:
            f.write(u16)


if __name__ == "__main__":
    main()
