#!/usr/bin/env python3
"""Runs every tools/gen/gen_*.py generator of data/ tables with --out DIR.
(Scripts that write test vectors are named otherwise and run on their own.)

Usage: python3 tools/gen/regen_all.py --out data
"""
import argparse
import glob
import os
import subprocess
import sys


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))
    status = 0
    for script in sorted(glob.glob(os.path.join(here, "gen_*.py"))):
        r = subprocess.run([sys.executable, script, "--out", args.out])
        if r.returncode != 0:
            print("regen_all: %s failed" % os.path.basename(script), file=sys.stderr)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
