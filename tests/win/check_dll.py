#!/usr/bin/env python3
"""Checks a built Nessel.dll: its export table holds exactly the twelve
exports under their plain names, the 32-bit import library carries each
export's __stdcall argument size (and that size agrees with nessel.h), the
version resource says 4.0.31.0 / Nessel / Nessel.dll, and the DLL imports
nothing but system DLLs (the C and C++ runtimes are linked in statically).

The PE image is read directly; objdump -p is asked for the export names too,
as a second reader of the same table."""
import argparse
import re
import struct
import subprocess
import sys

# The exported surface: name and the bytes of arguments a 32-bit caller pushes.
EXPORTS = {
    "InitSDK": 0, "DeinitSDK": 0, "UpdateRegistry": 0, "GetVersion_Nessel": 0,
    "NamePrep": 28, "NamePrep_U": 28, "AceToNative": 20, "AceToUnicode": 16,
    "talvex_name_prep_u": 16, "str2enctype": 4, "encoding2unicode": 12,
    "unicode2encoding": 12,
    # nessel_ext.h
    "nessel_to_ace_n": 32, "nessel_to_unicode_n": 24, "nessel_nameprep_n": 24,
    "nessel_decode_n": 24, "nessel_encode_n": 24,
}

# DLLs that every Windows installation has.  A runtime DLL of the compiler
# (libstdc++-6.dll, libgcc_s_*.dll, libwinpthread-1.dll) must not appear.
SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "wininet.dll", "shlwapi.dll",
               "msvcrt.dll", "user32.dll", "ws2_32.dll"}

failures = []


def check(cond, message):
    if not cond:
        failures.append(message)
    return cond


class PE:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, nsect, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        dd = opt + (96 if self.magic == 0x10B else 112)
        count = struct.unpack_from("<I", data, dd - 4)[0]
        self.dirs = [struct.unpack_from("<II", data, dd + 8 * i) for i in range(count)]
        self.sections = []
        sect = opt + opt_size
        for i in range(nsect):
            _, vsize, va, rsize, raw = struct.unpack_from("<8sIIII", data, sect + 40 * i)
            self.sections.append((va, max(vsize, rsize), raw))

    def off(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("RVA 0x%x lies in no section" % rva)

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def exports(self):
        rva, size = self.dirs[0]
        if size == 0:
            return None, []
        o = self.off(rva)
        name_rva, _, _, nnames, _, names_rva, _ = struct.unpack_from("<IIIIIII", self.data, o + 12)
        names = [self.cstr(struct.unpack_from("<I", self.data, self.off(names_rva) + 4 * i)[0])
                 for i in range(nnames)]
        return self.cstr(name_rva), names

    def imports(self):
        rva, size = self.dirs[1]
        out = []
        o = self.off(rva) if size else None
        while o is not None:
            desc = struct.unpack_from("<IIIII", self.data, o)
            if desc == (0, 0, 0, 0, 0):
                break
            out.append(self.cstr(desc[3]))
            o += 20
        return out

    def resource(self, type_id):
        """Data of the first resource of type_id (first name, first language)."""
        rva, size = self.dirs[2]
        if size == 0:
            return None
        base = self.off(rva)

        def first_entry(dir_off, wanted=None):
            named, ids = struct.unpack_from("<HH", self.data, dir_off + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, dir_off + 16 + 8 * i)
                if wanted is None or (not name & 0x80000000 and name == wanted):
                    return target
            return None

        level = first_entry(base, type_id)
        for _ in range(2):
            if level is None or not level & 0x80000000:
                return None
            level = first_entry(base + (level & 0x7FFFFFFF))
        if level is None or level & 0x80000000:
            return None
        data_rva, data_size = struct.unpack_from("<II", self.data, base + level)
        o = self.off(data_rva)
        return self.data[o:o + data_size]


def version_info(blob):
    """Parses a VS_VERSIONINFO block: (fixed file info tuple, {string: value})."""
    strings = {}
    fixed = None

    def node(o, depth):
        nonlocal fixed
        length, value_len, vtype = struct.unpack_from("<HHH", blob, o)
        end = o + length
        k = o + 6
        key_end = k
        while blob[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = blob[k:key_end].decode("utf-16-le")
        v = (key_end + 2 + 3) & ~3
        if depth == 0:
            fixed = struct.unpack_from("<13I", blob, v)
        elif vtype == 1 and depth == 3:
            text = blob[v:v + 2 * value_len].decode("utf-16-le")
            strings[key] = text.rstrip("\0")
        child = (v + (value_len if vtype == 0 else 2 * value_len) + 3) & ~3
        while child < end:
            clen = struct.unpack_from("<H", blob, child)[0]
            if clen == 0:
                break
            node(child, depth + 1)
            child = (child + clen + 3) & ~3

    node(0, 0)
    return fixed, strings


def header_argument_bytes(header_text):
    """Bytes a 32-bit __stdcall caller pushes for each export in nessel.h:
    every argument (pointer, 32-bit integer, promoted byte) takes 4."""
    sizes = {}
    for m in re.finditer(r"NESSEL_API\s[^;]*?NESSEL_CALL\s+(\w+)\s*\(([^)]*)\)", header_text):
        args = m.group(2).strip()
        sizes[m.group(1)] = 0 if args in ("", "void") else 4 * len(args.split(","))
    return sizes


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dll", required=True)
    ap.add_argument("--implib", required=True)
    ap.add_argument("--def", dest="deffile", required=True)
    ap.add_argument("--header", required=True)
    ap.add_argument("--bits", type=int, required=True, help="pointer size in bytes")
    ap.add_argument("--objdump", required=True)
    ap.add_argument("--nm", required=True)
    ap.add_argument("--version", required=True)
    a = ap.parse_args()

    with open(a.dll, "rb") as f:
        pe = PE(f.read())
    expected = set(EXPORTS)

    check(pe.machine == (0x14C if a.bits == 4 else 0x8664), "machine 0x%x" % pe.machine)
    check(pe.magic == (0x10B if a.bits == 4 else 0x20B), "optional header magic 0x%x" % pe.magic)
    check(pe.characteristics & 0x2000, "image is not marked as a DLL")

    dll_name, names = pe.exports()
    check(dll_name == "Nessel.dll", "export directory names the module %r" % dll_name)
    check(sorted(names) == sorted(expected),
          "exports differ: extra %s, missing %s" % (sorted(set(names) - expected),
                                                   sorted(expected - set(names))))

    dump = subprocess.run([a.objdump, "-p", a.dll], capture_output=True, text=True, check=True).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    od_names = re.findall(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", table[1], re.M) if len(table) == 2 else []
    check(sorted(od_names) == sorted(names), "objdump reads the exports as %s" % od_names)

    # Argument sizes: the header, the module-definition file and (32-bit) the
    # import library's decorated names all agree with the table above.
    with open(a.header) as f, open(a.header.replace("nessel.h", "nessel_ext.h")) as g:
        from_header = header_argument_bytes(f.read() + g.read())
    check(from_header == EXPORTS, "nessel.h argument sizes %s" % from_header)
    with open(a.deffile) as f:
        from_def = {m.group(1): int(m.group(2))
                    for m in re.finditer(r"^\s+(\w+)@(\d+)\s*$", f.read(), re.M)}
    check(from_def == EXPORTS, "Nessel.def argument sizes %s" % from_def)
    syms = subprocess.run([a.nm, a.implib], capture_output=True, text=True, check=True).stdout
    defined = set(re.findall(r"^[0-9a-fA-F]+ T (\S+)$", syms, re.M))
    if a.bits == 4:
        want = {"_%s@%d" % (n, s) for n, s in EXPORTS.items()}
    else:
        want = set(EXPORTS)
    check(want <= defined, "import library lacks %s" % sorted(want - defined))

    blob = pe.resource(16)  # RT_VERSION
    if check(blob is not None, "no version resource"):
        fixed, strings = version_info(blob)
        parts = [int(x) for x in a.version.split(".")]
        ms, ls = (parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3]
        check(fixed[0] == 0xFEEF04BD, "bad VS_FIXEDFILEINFO signature")
        check(fixed[2:6] == (ms, ls, ms, ls),
              "fixed file/product version %08x.%08x %08x.%08x" % fixed[2:6])
        for key, value in (("FileVersion", a.version), ("ProductVersion", a.version),
                           ("ProductName", "Nessel"), ("OriginalFilename", "Nessel.dll")):
            check(strings.get(key) == value, "%s is %r" % (key, strings.get(key)))

    imports = pe.imports()
    check(imports, "no import table")
    foreign = [d for d in imports if d.lower() not in SYSTEM_DLLS]
    check(not foreign, "imports non-system DLLs %s" % foreign)

    for f in failures:
        print("FAIL:", f)
    print("exports:", " ".join(sorted(names)))
    print("imports:", " ".join(imports))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
