#!/bin/sh
# strip-test.sh <objcopy> <strip> <objdump> <dll> <function> <work folder>
#
# Strips a copy of a built DLL the way `make dist` does
# (installer/strip-symbols.sh) and checks the result:
#   - the stripped DLL has no debug sections left, the debug file has them,
#     and the code is the same byte for byte;
#   - its .gnu_debuglink names the debug file and carries the CRC-32 of the
#     debug file's content;
#   - objdump (and gdb, where it is installed) find <function> in the debug
#     information through the link when the debug file lies beside the DLL,
#     and refuse a debug file that was changed afterwards (CRC mismatch).
# Runs on the build machine, no Wine needed.
set -u
tests_dir=$(cd "$(dirname "$0")" && pwd)
if [ $# -ne 6 ]; then
  echo "usage: strip-test.sh <objcopy> <strip> <objdump> <dll> <function> <work folder>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
objcopy=$1
strip=$2
objdump=$3
original=$4
function=$5
work=$6
name=$(basename "$original")

rm -rf "$work"
mkdir -p "$work/stage" "$work/symbols" "$work/other"
dll="$work/stage/$name"
debug="$work/symbols/$name.debug"
cp "$original" "$dll"

. "$tests_dir/checks.sh"
has_section() { "$objdump" -h "$2" | awk -v s="$1" '$2 == s { found = 1 } END { exit !found }'; }
lacks_section() { ! has_section "$@"; }
section_bytes() { "$objcopy" -O binary --only-section="$1" "$2" "$3"; }
size_of() { wc -c <"$1" | tr -d ' '; }

if ! sh "$here/../strip-symbols.sh" "$objcopy" "$strip" "$dll" "$debug"; then
  echo "FAIL strip-symbols.sh failed on $name"
  exit 1
fi

check "the original has debug information" has_section .debug_info "$original"
check "the stripped DLL has none" lacks_section .debug_info "$dll"
check "the debug file has it" has_section .debug_info "$debug"
check "the stripped DLL has a .gnu_debuglink" has_section .gnu_debuglink "$dll"
check "the stripped DLL is smaller ($(size_of "$original") -> $(size_of "$dll") bytes)" \
  test "$(size_of "$dll")" -lt "$(size_of "$original")"

section_bytes .text "$original" "$work/text.original"
section_bytes .text "$dll" "$work/text.stripped"
check "the code (.text) is unchanged" cmp -s "$work/text.original" "$work/text.stripped"

# The link's layout: the file name, NUL, padding to 4 bytes, then the
# CRC-32 of the debug file, little-endian.
# (--dump-section: objcopy -O binary leaves out sections that are not loaded.)
"$objcopy" --dump-section .gnu_debuglink="$work/debuglink" "$dll" "$work/dumped.dll"
link_matches() {
  python3 - "$work/debuglink" "$1" "$2" <<'EOF'
import struct, sys, zlib
link = open(sys.argv[1], "rb").read()
name, _, rest = link.partition(b"\0")
crc_offset = (len(name) + 1 + 3) // 4 * 4
(crc,) = struct.unpack_from("<I", link, crc_offset)
expected_name = sys.argv[2].encode()
expected_crc = zlib.crc32(open(sys.argv[3], "rb").read())
print(f"     link: {name.decode()} {crc:08x}; debug file: {sys.argv[2]} {expected_crc:08x}")
sys.exit(0 if name == expected_name and crc == expected_crc else 1)
EOF
}
check "the link names the debug file and its CRC" link_matches "$name.debug" "$debug"

# The debugger's view: the debug file beside the DLL, as for a crash analysis.
beside="$work/stage/$name.debug"
finds_function() { # finds_function <dll>: objdump loads the linked file and finds the function's entry
  out=$("$objdump" --dwarf=follow-links --dwarf=info "$1" 2>&1)
  printf '%s\n' "$out" | grep -Eq "loaded from (.*/)?$name\\.debug\\):" &&
    printf '%s\n' "$out" | grep -Eq "DW_AT_name +:( \(indirect [a-z ]*string, offset: 0x[0-9a-f]+\):)? $function\$"
}
lacks_function() { ! finds_function "$@"; }
check "without the debug file objdump finds no $function" lacks_function "$dll"
cp "$debug" "$beside"
check "objdump finds $function through the link" finds_function "$dll"
printf 'changed' >>"$beside"
check "objdump ignores a changed debug file (CRC mismatch)" lacks_function "$dll"
crc_refused() { "$objdump" --dwarf=follow-links --dwarf=info "$1" 2>&1 | grep -q "CRC does not match"; }
check "objdump says the CRC does not match" crc_refused "$dll"

# gdb reads PE files as well; where it is installed it must agree.
if command -v gdb >/dev/null 2>&1; then
  gdb_finds_line() {
    gdb -nx -batch -ex "info line $function" "$1" 2>&1 | grep -Eq "^Line [0-9]+ of \""
  }
  gdb_lacks_line() { ! gdb_finds_line "$@"; }
  cp "$debug" "$beside"
  check "gdb finds the source line of $function through the link" gdb_finds_line "$dll"
  printf 'changed' >>"$beside"
  check "gdb ignores a changed debug file" gdb_lacks_line "$dll"
else
  echo "note: gdb is not installed; only objdump's view was checked"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
