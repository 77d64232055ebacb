#!/bin/sh
# build-msi.sh <64-bit build> <32-bit build | -> <output folder> [<staged DLLs>]
# Builds the Windows Installer packages dist/corvane-<version>-x64.msi and
# dist/corvane-<version>-x86.msi with wixl (msitools) from the builds'
# product DLLs (bin/, the servers of corvane-servers.txt), or, where a
# folder of staged DLLs is given, from its x64/bin and x86/bin (the stripped
# and signed DLLs of build-installer.sh); with "-" for the 32-bit build, the
# x64 package only. The version is the builds' (CMake's
# corvane-version.txt); CORVANE_MSI_VERSION=<x.y.z> in the environment gives the
# packages another one, and CORVANE_MSI_CAPTURES=<folder> takes the servers'
# registration from the captures of an earlier run (msi-work/captures) of
# the same DLLs (both for the upgrade test's newer package).
#
# The servers' COM registration becomes the packages' own registry entries,
# so that no package runs regsvr32: regcapture (built in the 64-bit build)
# calls each 64-bit server's DllRegisterServer under Wine, in a fresh prefix
# of its own, with the registry roots mapped to a scratch key, and
# make-registration.py turns what it wrote into WiX entries for each
# architecture. Work files go to <output folder>/msi-work/.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build64=$(cd "$1" && pwd)
build32=
[ "$2" = - ] || build32=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)
work="$out/msi-work"
staged=
[ -z "${4:-}" ] || staged=$(cd "$4" && pwd)

fail() { echo "build-msi.sh: $*" >&2; exit 1; }
command -v wixl >/dev/null && command -v msibuild >/dev/null ||
  fail "wixl and msibuild are missing: run tools/install-deps.sh"

servers="$build64/corvane-servers.txt"
version=$(cat "$build64/corvane-version.txt")
if [ -n "$build32" ]; then
  [ "$version" = "$(cat "$build32/corvane-version.txt")" ] ||
    fail "the builds have different versions: build both again"
  cmp -s "$servers" "$build32/corvane-servers.txt" ||
    fail "the builds have different lists of servers: build both again"
fi
version=${CORVANE_MSI_VERSION:-$version}
regcapture="$build64/bin/regcapture.exe"
[ -f "$regcapture" ] || fail "no $regcapture: build the 64-bit build first"

rm -rf "$work"
mkdir -p "$work/captures"
: >"$work/empty"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# What each 64-bit server registers, in a fresh prefix.
if [ -n "${CORVANE_MSI_CAPTURES:-}" ]; then
  cp "$CORVANE_MSI_CAPTURES"/*.txt "$work/captures/" || fail "no captures in $CORVANE_MSI_CAPTURES"
else
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER=/usr/lib/wine/wine64
  WINEARCH=win64 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  wineserver -w
  while read -r dll progid; do
    /usr/lib/wine/wine64 "$(winpath "$regcapture")" capture "$(winpath "$build64/bin/$dll")" </dev/null \
      >"$work/captures/$dll.txt" 2>"$work/captures/$dll.err" ||
      fail "$dll: its registration could not be captured: $(cat "$work/captures/$dll.err")"
  done <"$servers"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work/prefix"
fi

# The table MsiLockPermissionsEx (Windows Installer 5.0), which wixl does not
# write: Users (BU, S-1-5-32-545) may change the files the product writes at
# run time, nothing else; SYSTEM and the administrators keep full control.
# 0x1301BF: read, write, execute and delete (the NSIS setup's MODIFY_RIGHTS).
lock_table() {
  sddl='D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1301bf;;;BU)'
  printf 'MsiLockPermissionsEx\tLockObject\tTable\tSDDLText\tCondition\n'
  printf 's72\ts72\ts32\ts0\tS255\n'
  printf 'MsiLockPermissionsEx\tMsiLockPermissionsEx\n'
  for file in ConfigFile ConfigBackup AddinLog NotifierLog PropsLog; do
    printf 'Lock%s\t%s\tFile\t%s\t\n' "$file" "$file" "$sddl"
  done
}

# Left-overs of an interrupted save go with the product (RemoveFile,
# InstallMode 2: on removal).
remove_file_table() {
  printf 'FileKey\tComponent_\tFileName\tDirProperty\tInstallMode\n'
  printf 's72\ts72\tL255\ts72\ti2\n'
  printf 'RemoveFile\tFileKey\n'
  printf 'RemoveConfigNew\tAddinKeys\tnotifyfolders.ini.new\tINSTALLDIR\t2\n'
  printf 'RemoveBackupNew\tAddinKeys\tnotifyfolders.ini.bak.new\tINSTALLDIR\t2\n'
}

build_package() { # build_package <x64|x86> <build folder> <upgrade code>
  arch=$1 build=$2 upgrade=$3
  msi="$out/corvane-$version-$arch.msi"
  # A new product code for every version and architecture, the same for
  # every build of them.
  product=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID("4652a66f-8bf9-4db9-946f-632659f3383f"), "corvane " + sys.argv[1] + " " + sys.argv[2])).upper())' "$version" "$arch")
  if [ "$arch" = x64 ]; then
    win64=yes programfiles=ProgramFiles64Folder component_base=256
  else
    win64=no programfiles=ProgramFilesFolder component_base=0
  fi
  # wixl takes the files' sources relative to the folder it runs in.
  mkdir -p "$work/$arch-bin"
  bin="$build/bin"
  [ -z "$staged" ] || bin="$staged/$arch/bin"
  while read -r dll progid; do
    [ -f "$bin/$dll" ] || fail "no $bin/$dll"
    ln -sf "$bin/$dll" "$work/$arch-bin/$dll"
  done <"$servers"
  rm -f "$msi"
  (cd "$work" &&
    python3 "$here/make-registration.py" --arch "$arch" --servers "$servers" --bin "$arch-bin" \
      --captures captures --captured-in "$(winpath "$build64/bin")" --output "registration-$arch.wxs" &&
    wixl --arch "$arch" -o "$msi" \
      -D Version="$version" -D ProductCode="$product" -D UpgradeCode="$upgrade" \
      -D Win64="$win64" -D ProgramFiles="$programfiles" -D EmptyFile=empty \
      "$here/corvane.wxs" "registration-$arch.wxs")
  lock_table >"$work/MsiLockPermissionsEx.idt"
  remove_file_table >"$work/RemoveFile.idt"
  # The configuration file and its backup stay when the product is removed
  # (Permanent, 0x10) and an installation never replaces them
  # (NeverOverwrite, 0x80).
  kept=$((component_base + 16 + 128))
  (cd "$work" && msibuild "$msi" -i MsiLockPermissionsEx.idt -i RemoveFile.idt \
    -q "UPDATE Component SET Attributes = $kept WHERE Component = 'ConfigFile' OR Component = 'ConfigBackup'")
  echo "built $msi ($(wc -c <"$msi") bytes)"
}

# Each architecture keeps its upgrade code for good: a newer package of it
# replaces an older one.
build_package x64 "$build64" "{4834F538-D3AD-4889-8FDA-2380D1E262E4}"
[ -z "$build32" ] || build_package x86 "$build32" "{0658EC6D-496A-44F7-A887-F54894360755}"
