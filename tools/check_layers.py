#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Fails when an #include in the product code points up a layer.

Every module (a top-level directory) has a layer; a file may include a
header of its own module or of a module on a lower layer, never one of the
same layer or above.  The layers are those of ARCHITECTURE.md:

  base, data  <  encoding, nameprep, config  <  ace  <  codecs  <  domain
              <  include (the public headers)  <  api  <  cxx  <  cli, python

Quoted includes are resolved against the source root ("dir/file.h") or, for
the public headers, against include/ ("nessel.h").  A quoted include that
names no file of the tree is reported too, so a new module cannot slip past
the table below.  Angle-bracket includes (system and third-party) are not
checked.

  tools/check_layers.py [--root DIR] [--verbose]
"""
import argparse
import os
import re
import sys

LAYERS = {
    'base': 0, 'data': 0,
    'encoding': 1, 'nameprep': 1, 'config': 1,
    'ace': 2,
    'codecs': 3,
    'domain': 4,
    'include': 5,
    'api': 6,
    'cxx': 7,
    'cli': 8, 'python': 8,
}
# The program is a client of the public headers: of the library's inside it
# includes the ASCII helpers of base/ and its one internal interface alone.
PROGRAM_REACH = ('cli', 'include', 'base')
PROGRAM_INTERFACE = 'api/program.h'
SUFFIXES = ('.h', '.hpp', '.cpp', '.c', '.def', '.inc')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def module_of_include(root, target):
    """The module a quoted include names, or None when no such file exists."""
    if os.path.isfile(os.path.join(root, target)):
        return target.split('/', 1)[0] if '/' in target else None
    if os.path.isfile(os.path.join(root, 'include', target)):
        return 'include'
    return None


def check(root, verbose):
    faults = []
    files = includes = 0
    for module in sorted(LAYERS):
        top = os.path.join(root, module)
        for dirpath, _, names in os.walk(top):
            for name in sorted(names):
                if not name.endswith(SUFFIXES):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                files += 1
                with open(path, encoding='utf-8', errors='replace') as f:
                    for lineno, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        includes += 1
                        target = m.group(1)
                        dep = module_of_include(root, target)
                        if dep is None or dep not in LAYERS:
                            faults.append(f'{rel}:{lineno}: "{target}" is no header of a known module')
                        elif dep != module and LAYERS[dep] >= LAYERS[module]:
                            faults.append(
                                f'{rel}:{lineno}: {module} (layer {LAYERS[module]}) includes '
                                f'"{target}" of {dep} (layer {LAYERS[dep]})')
                        elif (module == 'cli' and dep not in PROGRAM_REACH
                              and target != PROGRAM_INTERFACE):
                            faults.append(f'{rel}:{lineno}: the program includes "{target}"; it '
                                          f'reaches the library through {PROGRAM_INTERFACE}')
                        elif verbose:
                            print(f'{rel}:{lineno}: {module} -> {dep}')
    for fault in faults:
        print(fault)
    verdict = 'FAILED' if faults else 'passed'
    print(f'layer check {verdict}: {includes} includes in {files} files, '
          f'{len(faults)} against the layers')
    return 1 if faults else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--root', default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
    ap.add_argument('--verbose', action='store_true')
    args = ap.parse_args()
    return check(os.path.abspath(args.root), args.verbose)


if __name__ == '__main__':
    sys.exit(main())
