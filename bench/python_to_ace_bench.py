# SPDX-License-Identifier: MIT
"""nessel.to_ace against Python's own "idna" codec on the same names (those
of tests/vectors/domain/idna2003.tsv that the codec takes, and "bücher.de"
alone).  Run with the installed package, in a directory and store of your
choice:  python3 bench/python_to_ace_bench.py"""

import os
import timeit

import nessel

here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "..", "tests", "vectors", "domain", "idna2003.tsv"),
          encoding="utf-8") as f:
    names = [l.split("\t")[0] for l in f if l.strip() and not l.startswith("#")]
names = [n for n in names if n.encode("idna")]
nessel.to_ace("bücher.de")  # the start (store, configuration) is not measured


def per_call(fn, items, number):
    return min(timeit.repeat(lambda: [fn(n) for n in items], number=number, repeat=7)) \
        / number / len(items)


for label, items, number in (("vector names", names, 200), ("bücher.de", ["bücher.de"], 20000)):
    ours = per_call(nessel.to_ace, items, number)
    idna = per_call(lambda n: n.encode("idna"), items, number)
    print(f"{label:13s} ({len(items)}): nessel.to_ace {ours * 1e6:6.2f} us, "
          f"str.encode('idna') {idna * 1e6:6.2f} us, {idna / ours:.1f}x")
