#!/usr/bin/env python3
"""Checks that shipped DLLs import only what their oldest Windows exports.

Reads each DLL's import tables (ordinary and delay-loaded) and compiles a C
file that names every imported function with the cross compiler's Windows
headers at the build's _WIN32_WINNT: the headers declare a function only
from the version that exports it, so a name the compiler does not know
needs a later Windows. A name the headers do not declare at any version is
reported as well, unless it is allowed below.

Usage: check_imports.py --cc <cross C compiler> --windows <0x0501|0x0601> dll...
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

# The system DLLs a shipped DLL may import from, all present on Windows 2000
# and later, and the headers that declare their functions.
SYSTEM_DLLS = {
    "kernel32.dll": ["windows.h"],
    "user32.dll": ["windows.h"],
    "gdi32.dll": ["windows.h"],
    "advapi32.dll": ["windows.h"],
    "version.dll": ["windows.h"],
    "ole32.dll": ["ole2.h"],
    "oleaut32.dll": ["ole2.h", "olectl.h"],
    "shell32.dll": ["shellapi.h", "shlobj.h"],
    "shlwapi.dll": ["shlwapi.h"],
    "comctl32.dll": ["commctrl.h"],
    "comdlg32.dll": ["commdlg.h"],
    "winmm.dll": ["mmsystem.h"],
}

# The C runtime is msvcrt.dll, which every Windows since 2000 has; its
# exports are not versioned by _WIN32_WINNT, so it is accepted as a DLL.
# Any other runtime DLL (the universal CRT and its api-ms-win-* forwarders,
# a Visual C++ runtime, the GCC runtime as a DLL) is missing on Windows XP
# or would have to be shipped.
CRT_DLL = "msvcrt.dll"
FOREIGN_RUNTIME = re.compile(r"^(ucrtbase|api-ms-win-.*|ext-ms-.*|msvcr\d+|msvcp\d+|vcruntime\d+|"
                             r"libgcc.*|libstdc\+\+.*|libwinpthread.*)\.dll$")

# Imports the headers do not declare at any version, each with the reason it
# is fine. Kept empty while there are none; an entry is "dll!name" or
# "dll!#ordinal".
ALLOWED = {
}

# The version whose headers declare everything they know of.
NEWEST = "0x0A00"

WINDOWS_NAMES = {"0x0501": "Windows XP", "0x0601": "Windows 7"}


class PeFile:
    """The import tables of a PE32 or PE32+ image."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        if self.data[:2] != b"MZ":
            raise ValueError(f"{path}: not a PE image")
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE signature")
        sections, optional_size = struct.unpack_from("<2xH12xH", self.data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        if magic == 0x10B:
            self.pointer_size, directories = 4, optional + 96
        elif magic == 0x20B:
            self.pointer_size, directories = 8, optional + 112
        else:
            raise ValueError(f"{path}: unknown optional header 0x{magic:x}")
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<8xIIII", self.data, table + 40 * i)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA 0x{rva:x} outside every section")

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def thunks(self, rva):
        ordinal_flag = 1 << (self.pointer_size * 8 - 1)
        fmt = "<I" if self.pointer_size == 4 else "<Q"
        at = self.offset(rva)
        while True:
            value = struct.unpack_from(fmt, self.data, at)[0]
            if value == 0:
                return
            if value & ordinal_flag:
                yield f"#{value & 0xFFFF}"
            else:
                yield self.string((value & 0x7FFFFFFF) + 2)  # past the hint
            at += self.pointer_size

    def imports(self):
        """(dll, name or "#ordinal") of the import table and the delay-load table."""
        # (directory, size of a descriptor, fields of the dll's name and of its names' thunks)
        for directory, size, dll_field, names_field in ((1, 20, 3, 0), (13, 32, 1, 4)):
            rva, length = self.directories[directory]
            if not (rva and length):
                continue
            at = self.offset(rva)
            while True:
                fields = struct.unpack_from("<IIIII", self.data, at)
                if fields[dll_field] == 0:
                    break
                # An import descriptor without its name thunks has only the bound ones (field 4).
                for name in self.thunks(fields[names_field] or fields[4]):
                    yield self.string(fields[dll_field]), name
                at += size


def undeclared(cc, version, names):
    """The names of `names` that the headers at `version` do not declare."""
    headers = list(dict.fromkeys(h for hs in SYSTEM_DLLS.values() for h in hs))  # windows.h first
    lines = [f"#include <{h}>" for h in headers] + ["void corvane_import_check(void)", "{"]
    first = len(lines) + 1
    lines += [f"    (void)&{name};" for name in names]
    lines.append("}")
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "imports.c")
        with open(source, "w") as f:
            f.write("\n".join(lines) + "\n")
        result = subprocess.run(
            [cc, "-fsyntax-only", "-fmax-errors=0", "-Werror=implicit-function-declaration",
             f"-D_WIN32_WINNT={version}", f"-DWINVER={version}", source],
            capture_output=True, text=True)
    failed = set()
    for line in result.stderr.splitlines():
        m = re.match(r".*imports\.c:(\d+):\d+: error:", line)
        if m and first <= int(m.group(1)) < first + len(names):
            failed.add(names[int(m.group(1)) - first])
    if result.returncode != 0 and not failed:
        sys.exit(f"the headers did not compile:\n{result.stderr}")
    return failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cc", required=True)
    parser.add_argument("--windows", required=True, choices=sorted(WINDOWS_NAMES))
    parser.add_argument("dlls", nargs="+")
    args = parser.parse_args()
    target = f"{WINDOWS_NAMES[args.windows]} (_WIN32_WINNT {args.windows})"

    tables = {path: sorted(set(PeFile(path).imports())) for path in args.dlls}
    names = sorted({name for table in tables.values() for dll, name in table
                    if dll.lower() in SYSTEM_DLLS and not name.startswith("#")})
    missing_at_target = undeclared(args.cc, args.windows, names)
    missing_everywhere = undeclared(args.cc, NEWEST, sorted(missing_at_target))

    failures = 0
    for path, table in tables.items():
        problems = []
        for dll, name in table:
            key, low = f"{dll}!{name}", dll.lower()
            if key.lower() in {k.lower() for k in ALLOWED}:
                continue
            if low == CRT_DLL:
                continue
            if FOREIGN_RUNTIME.match(low):
                problems.append(f"{key}: runtime DLL {dll} is not part of {WINDOWS_NAMES[args.windows]}")
            elif low not in SYSTEM_DLLS:
                problems.append(f"{key}: {dll} is not among the system DLLs this check knows")
            elif name.startswith("#"):
                problems.append(f"{key}: imported by ordinal")
            elif name in missing_everywhere:
                problems.append(f"{key}: not declared by the headers at any version")
            elif name in missing_at_target:
                problems.append(f"{key}: needs a later Windows than {target}")
        dlls = len({dll.lower() for dll, _ in table})
        verdict = "ok" if not problems else f"{len(problems)} not available"
        print(f"{os.path.basename(path)}: {len(table)} imports from {dlls} DLLs checked against {target}: {verdict}")
        for problem in problems:
            print(f"    {problem}")
        failures += len(problems)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
