#!/bin/sh
# build-installer.sh <64-bit build> <32-bit build> <output folder>
# Builds what `make dist` ships, from both builds' product DLLs
# (the build's corvane-servers.txt names them), in five steps:
#   1. copies the DLLs into <output>/stage/x64/bin and <output>/stage/x86/bin
#      and strips them there; their debug information goes to
#      <output>/symbols/<x64|x86>/<dll>.debug, named by each DLL's
#      .gnu_debuglink (installer/strip-symbols.sh);
#   2. signs the staged DLLs;
#   3. builds <output>/corvane-setup-<version>.exe with makensis from them
#      (with a certificate, makensis has its uninstaller signed as well);
#   4. builds the Windows Installer packages from them;
#   5. signs the setup and the packages.
# Signing (installer/sign.sh) takes the certificate from the environment:
# SIGN_PFX, SIGN_PASSWORD, SIGN_TIMESTAMP (`make dist` passes them on).
# Without SIGN_PFX everything is built unsigned, and the script says so.
# The build folders stay as they are: the tests run their unstripped DLLs.
# The version is the project version that CMake wrote into each build
# folder; both builds must have the same one.
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

if [ -n "${SIGN_PFX:-}" ]; then
  if [ ! -r "$SIGN_PFX" ]; then
    echo "build-installer.sh: the certificate file SIGN_PFX=$SIGN_PFX cannot be read" >&2
    exit 1
  fi
  echo "signing with the certificate in $SIGN_PFX${SIGN_TIMESTAMP:+, time stamps from $SIGN_TIMESTAMP}"
else
  echo "SIGN_PFX is not set: building unsigned DLLs, setup and packages"
fi
sign() {
  if [ -n "${SIGN_PFX:-}" ]; then
    sh "$repo/installer/sign.sh" "$@"
  fi
}

# The product's DLLs: the build's list of its COM servers ("<DLL> <ProgID>"
# per line, written by CMake).
servers=$(cut -d' ' -f1 "$build64/corvane-servers.txt")
if [ -z "$servers" ]; then
  echo "build-installer.sh: $build64/corvane-servers.txt names no DLL" >&2
  exit 1
fi

# A build's binutils, as CMake found them for its architecture.
build_tool() { # build_tool <build> <CMAKE_OBJCOPY|CMAKE_STRIP>
  tool=$(sed -n "s/^$2:FILEPATH=//p" "$1/CMakeCache.txt")
  if [ -z "$tool" ]; then
    echo "build-installer.sh: $1/CMakeCache.txt names no $2" >&2
    exit 1
  fi
  printf '%s\n' "$tool"
}
size_of() { wc -c <"$1" | tr -d ' '; }
megabytes() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }

# 1. Stage and strip.
stage="$out/stage"
symbols="$out/symbols"
setup="$out/corvane-setup-$version.exe"
# A setup left from an earlier run must not pass for this one's if a step fails.
rm -rf "$stage" "$symbols" "$setup"
for arch in x64 x86; do
  if [ $arch = x64 ]; then build=$build64; else build=$build32; fi
  objcopy=$(build_tool "$build" CMAKE_OBJCOPY)
  strip=$(build_tool "$build" CMAKE_STRIP)
  mkdir -p "$stage/$arch/bin" "$symbols/$arch"
  # The setup's list of servers (installer/Servers.nsh) is read from here too.
  cp "$build/corvane-servers.nsh" "$stage/$arch/"
  for dll in $servers; do
    if [ ! -f "$build/bin/$dll" ]; then
      echo "build-installer.sh: $build/bin/$dll is missing: build it first" >&2
      exit 1
    fi
    cp "$build/bin/$dll" "$stage/$arch/bin/$dll"
    sh "$repo/installer/strip-symbols.sh" "$objcopy" "$strip" \
      "$stage/$arch/bin/$dll" "$symbols/$arch/$dll.debug"
    echo "$arch $dll: $(megabytes "$(size_of "$build/bin/$dll")") -> $(megabytes "$(size_of "$stage/$arch/bin/$dll")")" \
      "(debug information: symbols/$arch/$dll.debug)"
  done
done

# 2. Sign the DLLs.
for arch in x64 x86; do
  for dll in $servers; do
    sign "$stage/$arch/bin/$dll"
  done
done

# 3. The setup, from the staged DLLs (the script takes the DLLs from bin/ of
# the folders BUILD64 and BUILD32). makensis on Linux reads Unix paths; the
# backslashes of the script become slashes.
signing=""
[ -z "${SIGN_PFX:-}" ] || signing="-DSIGN_COMMAND=sh $repo/installer/sign.sh"
makensis -V2 -INPUTCHARSET UTF8 ${signing:+"$signing"} \
  -DVERSION="$version" -DBUILD64="$stage/x64" -DBUILD32="$stage/x86" -DOUTDIR="$out" \
  "$repo/installer/corvane.nsi"

# 4. The Windows Installer packages, dist/corvane-<version>-<x86|x64>.msi,
# from the same staged DLLs ($stage/x64/bin, $stage/x86/bin).
sh "$repo/installer/msi/build-msi.sh" "$build64" "$build32" "$out" "$stage"

# 5. Sign what is shipped.
sign "$setup"
echo "built $setup ($(megabytes "$(size_of "$setup")"))"
packages=""
for msi in "$out/corvane-$version-x86.msi" "$out/corvane-$version-x64.msi"; do
  if [ -f "$msi" ]; then
    sign "$msi"
    echo "built $msi ($(megabytes "$(size_of "$msi")"))"
    packages=yes
  fi
done
if [ -n "${SIGN_PFX:-}" ]; then
  echo "signed: the DLLs, the setup and its uninstaller${packages:+, the packages}"
else
  echo "unsigned: SIGN_PFX was not given (make dist SIGN_PFX=<file> SIGN_PASSWORD=<password>)"
fi
echo "debug information for crash analysis: $symbols"
