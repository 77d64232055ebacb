#!/bin/sh
# build-installer.sh <64-bit build> <32-bit build> <output folder>
# Builds dist/corvane-setup-<version>.exe with makensis from both builds'
# product DLLs (installer/Servers.nsh names them). The version is the
# project version that CMake wrote into each build folder; both builds must
# have the same one.
set -e
repo=$(cd "$(dirname "$0")/.." && pwd)
build64=$(cd "$1" && pwd)
build32=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)

version=$(cat "$build64/corvane-version.txt")
version32=$(cat "$build32/corvane-version.txt")
if [ "$version" != "$version32" ]; then
  echo "build-installer.sh: the builds have different versions ($version, $version32): build both again" >&2
  exit 1
fi

# makensis on Linux reads Unix paths; the backslashes of the script become slashes.
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DBUILD64="$build64" -DBUILD32="$build32" -DOUTDIR="$out" \
  "$repo/installer/corvane.nsi"
echo "built $out/corvane-setup-$version.exe"
sh "$repo/installer/msi/build-msi.sh" "$build64" "$build32" "$out"
