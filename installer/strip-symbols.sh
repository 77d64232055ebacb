#!/bin/sh
# strip-symbols.sh <objcopy> <strip> <dll> <debug file>
# Moves the debug information of <dll> into <debug file> and strips it from
# <dll> (in place), which then names the debug file and its CRC in its
# .gnu_debuglink section. gdb and objdump find the debug file through that
# link beside the DLL (or in a .debug folder beside it) and check its CRC.
# <objcopy> and <strip> are the binutils of the DLL's architecture (the
# build's CMAKE_OBJCOPY and CMAKE_STRIP).
set -e
if [ $# -ne 4 ]; then
  echo "usage: strip-symbols.sh <objcopy> <strip> <dll> <debug file>" >&2
  exit 2
fi
objcopy=$1
strip=$2
dll=$3
debug=$4
if [ ! -f "$dll" ]; then
  echo "strip-symbols.sh: no such file: $dll" >&2
  exit 1
fi
mkdir -p "$(dirname "$debug")"
"$objcopy" --only-keep-debug "$dll" "$debug"
"$strip" --strip-debug "$dll"
# The link holds the debug file's name without its folder, and the CRC of
# its content as it is now: the debug file must not change afterwards.
"$objcopy" --add-gnu-debuglink="$debug" "$dll"
