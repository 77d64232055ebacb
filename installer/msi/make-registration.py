#!/usr/bin/env python3
"""make-registration.py: the servers' part of a Windows Installer package.

  make-registration.py --arch x64|x86 --servers <corvane-servers.txt>
      --bin <folder of the DLLs> --captures <folder> --captured-in <folder>
      --output <registration.wxs>

Writes a WiX fragment with the component group "Servers": one component per
COM server (corvane-servers.txt), holding its DLL and the registry entries
its DllRegisterServer writes. Those come from <captures>/<dll>.txt, the
output of "regcapture capture" for the 64-bit DLL lying in the Windows folder
<captured-in>; that folder becomes the installation folder ([INSTALLDIR]).

The 32-bit servers register the same entries as the 64-bit ones except for
their paths and the type library's platform key: the kit's registration
(common/com/ComServer.cpp) writes nothing that depends on the architecture
besides the module's path, and RegisterTypeLib files the library under the
SYSKIND of the library itself, "win32" for the 32-bit build's and "win64"
for the 64-bit build's (Microsoft, "TypeLib key": TypeLib\\{libid}\\version
\\lcid\\platform). So the x86 package takes the 64-bit capture with "win64"
in that place turned into "win32".
"""
import argparse
import os
import re
import sys
from xml.sax.saxutils import quoteattr

TYPELIB_PLATFORM = re.compile(r"^(TypeLib\\\{[^\\]+\}\\[^\\]+\\[0-9a-fA-F]+\\)win64$", re.IGNORECASE)


def fail(message):
    sys.exit("make-registration.py: " + message)


def read_capture(path):
    """The capture's lines as (root, key, name, type, data); a key without
    values has name None."""
    entries = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line:
                continue
            fields = line.split("\t")
            root, _, key = fields[0].partition("\\")
            if root not in ("HKCR", "HKLM") or not key:
                fail(f"{path}:{number}: not a key under HKCR or HKLM: {fields[0]}")
            if len(fields) == 1:
                entries.append((root, key, None, None, None))
            elif len(fields) == 4:
                entries.append((root, key, fields[1], fields[2], fields[3]))
            else:
                fail(f"{path}:{number}: expected key, name, type and data separated by tabs")
    if not entries:
        fail(f"{path}: the server registered nothing")
    return entries


def installed_path(data, captured_in):
    """The data with the capture's folder replaced by the installation
    folder. Windows Installer's folder properties end with a backslash, so
    the folder alone (a type library's HELPDIR) becomes the folder with one."""
    folder = captured_in.rstrip("\\")
    if data.lower() == folder.lower():
        return "[INSTALLDIR]"
    prefix = folder + "\\"
    if data.lower().startswith(prefix.lower()):
        return "[INSTALLDIR]" + data[len(prefix):]
    if folder.lower() in data.lower():
        fail(f"the build folder is part of a value that is no path below it: {data}")
    return data


def formatted(data, where):
    """The string as the Registry table's Formatted value: a value starting
    with "#" would be read as a number, brackets as a property."""
    if data.startswith("#") or re.search(r"\[(?!INSTALLDIR\])|(?<!\[INSTALLDIR)\]", data):
        fail(f"{where}: a value this script cannot write literally: {data}")
    return data


def registry_elements(entries, arch, captured_in, where):
    elements = []
    for root, key, name, kind, data in entries:
        if arch == "x86":
            key = TYPELIB_PLATFORM.sub(r"\1win32", key)
        attrs = f"Root={quoteattr(root)} Key={quoteattr(key)}"
        if name is None:
            # A Registry row without name and value makes the key (Microsoft,
            # "Registry Table"); wixl writes one for an empty value.
            elements.append(f"<RegistryValue {attrs} Value=\"\" Type=\"string\"/>")
            continue
        if name:
            attrs += f" Name={quoteattr(name)}"
        if kind == "REG_SZ":
            value = formatted(installed_path(data, captured_in), where)
            elements.append(f"<RegistryValue {attrs} Value={quoteattr(value)} Type=\"string\"/>")
        elif kind == "REG_DWORD":
            elements.append(f"<RegistryValue {attrs} Value={quoteattr(data)} Type=\"integer\"/>")
        else:
            fail(f"{where}: {root}\\{key} {name}: a value of type {kind} is not supported")
    return elements


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", choices=("x64", "x86"), required=True)
    parser.add_argument("--servers", required=True)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--captures", required=True)
    parser.add_argument("--captured-in", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    with open(args.servers, encoding="utf-8") as f:
        dlls = [line.split()[0] for line in f if line.strip()]
    if not dlls:
        fail(f"{args.servers}: no server")
    win64 = "yes" if args.arch == "x64" else "no"
    out = [
        '<?xml version="1.0" encoding="utf-8"?>',
        "<!-- Generated by installer/msi/make-registration.py from what the servers'",
        "     DllRegisterServer writes: do not edit. -->",
        '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
        "  <Fragment>",
        '    <DirectoryRef Id="INSTALLDIR">',
    ]
    for dll in dlls:
        source = os.path.join(args.bin, dll)
        if not os.path.isfile(source):
            fail(f"{source}: missing")
        capture = os.path.join(args.captures, dll + ".txt")
        entries = read_capture(capture)
        out.append(f'      <Component Id={quoteattr(dll)} Guid="*" Win64="{win64}">')
        out.append(f'        <File Id={quoteattr(dll)} Name={quoteattr(dll)} Source={quoteattr(source)} KeyPath="yes"/>')
        for element in registry_elements(entries, args.arch, args.captured_in, capture):
            out.append("        " + element)
        out.append("      </Component>")
    out += ["    </DirectoryRef>", '    <ComponentGroup Id="Servers">']
    out += [f"      <ComponentRef Id={quoteattr(dll)}/>" for dll in dlls]
    out += ["    </ComponentGroup>", "  </Fragment>", "</Wix>", ""]
    with open(args.output, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
