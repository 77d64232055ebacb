#!/usr/bin/env python3
"""Writes the help strings of enumeration members into a type library.

    python3 enum_help.py <idl> <type library from widl> <output type library>

widl rejects helpstring on enumeration members ("inapplicable attribute"),
so an IDL file keeps a member's help string as a comment holding one quoted
text right after the member:

    typedef [helpstring("...")] enum FindOptionConstants {
        foKeys = 1, // "Look in keys."

This build step copies the type library and gives each such member its help
string. It edits the library's MSFT format directly (oleaut32's
ICreateTypeLib2 cannot save a library it has loaded under Wine), and only
by appending: the string table is moved to the end of the file with the new
strings after the old ones, and each changed enumeration gets a new member
block there, with a help string field added to every member record. Nothing
else moves, so every other offset in the file stays valid. Every help string
of the IDL file must find its member: a renamed member fails the build.
"""
import re
import struct
import sys

MAGIC = 0x5446534D          # "MSFT"
HEADER_SIZE = 0x54
HELPDLL_FLAG = 0x100
SEGMENTS = 15
SEG_NAMES, SEG_STRINGS = 7, 8   # indexes in the segment directory
TYPEINFO_SIZE = 0x64
TKIND_ENUM = 0
VAR_MANDATORY = 5 * 4           # a member record without optional fields
VAR_HELPSTRING_END = 7 * 4      # ... with HelpContext and HelpString


def parse_idl(text):
    """[(enumeration, member, help string)] from the IDL's comments."""
    entries, current = [], None
    for number, line in enumerate(text.splitlines(), 1):
        if current is None:
            m = re.search(r'\benum\s+([A-Za-z_]\w*)\s*\{', line)
            current = m.group(1) if m else None
            continue
        if line.strip().startswith('}'):
            current = None
            continue
        m = re.match(r'\s*([A-Za-z_]\w*)\s*(?:=[^/]*)?,?\s*//\s*"(.*)', line)
        if not m:
            continue
        close = m.group(2).find('"')
        if close < 0:
            sys.exit(f'line {number}: the help string of {m.group(1)} has no closing quote')
        entries.append((current, m.group(1), m.group(2)[:close]))
    return entries


class TypeLib:
    def __init__(self, data):
        self.data = bytearray(data)
        if self.int(0) != MAGIC:
            sys.exit('not an MSFT type library')
        self.count = self.int(0x20)
        flags = self.int(0x14)
        self.typeinfo_offsets = HEADER_SIZE + (4 if flags & HELPDLL_FLAG else 0)
        self.segdir = self.typeinfo_offsets + 4 * self.count

    def int(self, pos):
        return struct.unpack_from('<i', self.data, pos)[0]

    def put(self, pos, value):
        struct.pack_into('<i', self.data, pos, value)

    def segment(self, index):
        pos = self.segdir + 16 * index
        return self.int(pos), self.int(pos + 4)

    def set_segment(self, index, offset, length):
        pos = self.segdir + 16 * index
        self.put(pos, offset)
        self.put(pos + 4, length)

    def name(self, offset):
        base = self.segment(SEG_NAMES)[0] + offset
        length = self.int(base + 8) & 0xFF
        return bytes(self.data[base + 12:base + 12 + length]).decode('latin-1')

    def typeinfo(self, index):
        """The position of the index-th typeinfo record in the file."""
        return self.segment(0)[0] + self.int(self.typeinfo_offsets + 4 * index)

    def append(self, block):
        while len(self.data) % 4:
            self.data.append(0)
        at = len(self.data)
        self.data += block
        return at


def string_entry(text):
    raw = text.encode('latin-1')
    size = 2 + len(raw)
    size = max(8, (size + 3) & ~3)   # as oleaut32 reads them: 4-byte steps, at least 8
    return struct.pack('<h', len(raw)) + raw + b'\x57' * (size - 2 - len(raw))


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    idl, source, target = sys.argv[1:]
    entries = parse_idl(open(idl, encoding='latin-1').read())
    lib = TypeLib(open(source, 'rb').read())

    wanted = {}
    for enum, member, text in entries:
        wanted.setdefault(enum, {})[member] = text

    # The string table moves to the end of the file; new strings follow it.
    str_offset, str_length = lib.segment(SEG_STRINGS)
    strings = bytearray(lib.data[str_offset:str_offset + str_length]) if str_offset >= 0 else bytearray()
    new_blocks = []
    done = set()

    for index in range(lib.count):
        ti = lib.typeinfo(index)
        if lib.int(ti) & 0xF != TKIND_ENUM:
            continue
        enum = lib.name(lib.int(ti + 0x34))
        if enum not in wanted:
            continue
        memoffset = lib.int(ti + 4)
        elements = lib.int(ti + 0x18)
        funcs, vars_ = elements & 0xFFFF, (elements >> 16) & 0xFFFF
        n = funcs + vars_
        infolen = lib.int(memoffset)
        records = memoffset + 4
        tables = records + infolen
        memids = [lib.int(tables + 4 * i) for i in range(n)]
        names = [lib.int(tables + 4 * (n + i)) for i in range(n)]
        offsets = [lib.int(tables + 4 * (2 * n + i)) for i in range(n)]

        body, new_offsets = bytearray(), []
        for i in range(n):
            start = records + offsets[i]
            size = lib.int(start) & 0xFF
            record = bytearray(lib.data[start:start + size])
            if i >= funcs:
                member = lib.name(names[i])
                text = wanted[enum].get(member)
                if text is not None:
                    if size < VAR_HELPSTRING_END:
                        record += struct.pack('<i', 0) * ((VAR_HELPSTRING_END - size) // 4)
                        size = VAR_HELPSTRING_END
                    struct.pack_into('<i', record, 0, size | (lib.int(start) & ~0xFF))
                    struct.pack_into('<i', record, 24, len(strings))
                    strings += string_entry(text)
                    done.add((enum, member))
            new_offsets.append(len(body))
            body += record
        block = struct.pack('<i', len(body)) + body
        block += b''.join(struct.pack('<i', v) for v in memids + names + new_offsets)
        new_blocks.append((ti, block))

    missing = [f'{e}.{m}' for e, ms in wanted.items() for m in ms if (e, m) not in done]
    if missing:
        sys.exit(f'{idl}: not in the type library: {", ".join(missing)}')

    for ti, block in new_blocks:
        lib.put(ti + 4, lib.append(block))
    lib.set_segment(SEG_STRINGS, lib.append(strings), len(strings))
    open(target, 'wb').write(lib.data)
    print(f'{target}: {len(done)} member help strings')


main()
