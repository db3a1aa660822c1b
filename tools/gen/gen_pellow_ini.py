#!/usr/bin/env python3
"""Writes data/pellow.ini, the shipped default zone configuration.

Every top-level domain of the ICANN section of the public suffix list becomes
a domain-suffix zone converted with "PUNYCODE" and the prefix "xn--", the ACE
form the DNS uses today.  Zones are matched against the RACEX form of a
prepared name, so a top-level domain that is not ASCII is written the way the
library sees it: prepared with the options 0xA5, then RACE-encoded with the
prefix "ra--".

Usage: python3 tools/gen/gen_pellow_ini.py --out data
"""
import argparse
import hashlib
import os
import stringprep
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "sources", "public_suffix_list.dat")
RERUN = "python3 tools/gen/regen_all.py --out data"
REGEN_ALL = True
VERSION = 1
DNSF = "SOFTWARE\\Talvex international inc.\\Talvex Client\\DNSF"
# Zone value string: alt_prefix;alt_codec;alt_suffix;strip_tail;append_tail;
# prep_flags;prefix;codec;suffix.  prep_flags 0: the name was already
# prepared with 0xA5, so the zone's pass only maps and normalizes again.
ZONE_VALUE = ";;;;;0;xn--;PUNYCODE;"


def icann_tlds(path=SOURCE):
    """The top-level labels of the ICANN section, in order of first use."""
    seen, out, inside = set(), [], False
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if line.startswith("// ===BEGIN ICANN DOMAINS==="):
                inside = True
                continue
            if line.startswith("// ===END ICANN DOMAINS==="):
                break
            if not inside or not line or line.startswith("//"):
                continue
            tld = line.split()[0].lstrip("!*.").split(".")[-1]
            if tld and tld not in seen:
                seen.add(tld)
                out.append(tld)
    return out


# Nameprep as the library runs it with the options 0xA5 on a single label:
# Arabic alef maksura folded to yeh before mapping and after normalization,
# RFC 3454 tables B.1 and B.2 (plus U+0131 -> "i"), NFKC, and the Thai
# nikhahit/tone-mark reordering.  Characters the checks would refuse make
# the label unusable (None).
PROHIBITED = [(0x0000, 0x0020), (0x007F, 0x009F), (0x00A0, 0x00A0), (0x0340, 0x0341),
              (0x06DD, 0x06DD), (0x070F, 0x070F), (0x1680, 0x1680), (0x180E, 0x180E),
              (0x2000, 0x200F), (0x2028, 0x202F), (0x205F, 0x205F), (0x2061, 0x2063),
              (0x206A, 0x206F), (0x2FF0, 0x2FFB), (0x3000, 0x3000), (0x3002, 0x3002),
              (0xD800, 0xF8FF), (0xFDD0, 0xFDEF), (0xFEFF, 0xFEFF), (0xFFF9, 0xFFFF)]


def fold_arabic(s):
    return s.replace("\u0649", "\u064a")


def thai_reorder(s):
    u = list(s)
    i = 0
    while i < len(u):
        if u[i] == "\u0e4d":
            if len(u) - i < 3:
                break
            if u[i + 2] == "\u0e32" and "\u0e48" <= u[i + 1] <= "\u0e4b":
                u[i], u[i + 1] = u[i + 1], u[i]
        i += 1
    return "".join(u)


def prepare(label):
    s = fold_arabic(label)
    mapped = []
    for ch in s:
        if ch == "\u0131":
            mapped.append("i")
        elif stringprep.in_table_b1(ch):
            continue
        else:
            mapped.append(stringprep.map_table_b2(ch))
    s = unicodedata.ucd_3_2_0.normalize("NFKC", "".join(mapped))
    s = fold_arabic(thai_reorder(s))
    for ch in s:
        c = ord(ch)
        if c > 0xFFFF or any(lo <= c <= hi for lo, hi in PROHIBITED):
            return None
        if c < 0x80 and not (ch.isalnum() or ch == "-"):
            return None
        # The label character check: punctuation, the division sign and the
        # Arabic tatweel, harakat and letters U+0670..U+067F.
        if (unicodedata.ucd_3_2_0.category(ch).startswith("P") or c == 0x00F7 or c == 0x0640
                or 0x064B <= c <= 0x0655 or 0x0670 <= c <= 0x067F):
            return None
    return s


# RACE (draft-ietf-idn-race-03 section 2): compression by row, then base32.
BASE32 = "abcdefghijklmnopqrstuvwxyz234567"


def race_label(label):
    units = [ord(c) for c in label]
    rows = {u >> 8 for u in units if u >> 8}
    if len(rows) > 1 or rows == {0xD8}:
        data = [0xD8]
        for u in units:
            data += [u >> 8, u & 0xFF]
    else:
        u1 = rows.pop() if rows else 0
        data = [u1]
        for u in units:
            if u >> 8 == u1:
                data += [0xFF, 0x99] if (u & 0xFF) == 0xFF else [u & 0xFF]
            else:
                data += [0xFF, u & 0xFF]
    bits = "".join("{:08b}".format(b) for b in data)
    bits += "0" * (-len(bits) % 5)
    return "ra--" + "".join(BASE32[int(bits[i:i + 5], 2)] for i in range(0, len(bits), 5))


def zone_of(tld):
    """The zone for one top-level label, or None when nameprep refuses it."""
    if all(ord(c) < 0x80 for c in tld):
        return "." + tld.lower()
    prepared = prepare(tld)
    if prepared is None:
        return None
    if all(ord(c) < 0x80 for c in prepared):
        return "." + prepared
    return "." + race_label(prepared)


def zones():
    """(top-level label, zone) pairs in list order; refused labels dropped."""
    out = []
    for tld in icann_tlds():
        z = zone_of(tld)
        if z is None:
            print("gen_pellow_ini: skipping %r: refused by nameprep" % tld, file=sys.stderr)
            continue
        out.append((tld, z))
    return out


def render(pairs):
    body = ["[Pellow]", "NumKey=%d" % len(pairs)]
    for n, (tld, zone) in enumerate(pairs, 1):
        body += ["Key%05d=HKEY_CURRENT_USER" % n,
                 "SubKey%05d=%s" % (n, DNSF),
                 "ValueName%05d=%s" % (n, zone),
                 "ValueType%05d=STRING" % n,
                 "Value%05d=%s" % (n, ZONE_VALUE)]
    text = "\n".join(body) + "\n"
    digest = hashlib.sha256(text.encode("ascii")).hexdigest()[:16]
    with open(SOURCE, "rb") as f:
        src_digest = hashlib.sha256(f.read()).hexdigest()
    head = ["VERSION=%d" % VERSION,
            "; data/pellow.ini: default zone configuration, one PUNYCODE zone per top-level domain",
            "; Generated by tools/gen/gen_pellow_ini.py from tools/gen/sources/public_suffix_list.dat",
            ";   (sha256 %s)" % src_digest,
            "; Do not edit. Rerun: " + RERUN,
            "; zones: %d entries, %d bytes, sha256 %s" % (len(pairs), len(text), digest)]
    return "\n".join(head) + "\n" + text


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    with open(os.path.join(args.out, "pellow.ini"), "w", encoding="ascii", newline="\n") as f:
        f.write(render(zones()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
