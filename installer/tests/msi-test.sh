#!/bin/sh
# msi-test.sh <64-bit build> <32-bit build | -> <dist folder>
#
# Tries the Windows Installer packages <dist>/corvane-<version>-x64.msi and
# -x86.msi under Wine, each in a fresh prefix of its own (never a build's
# test prefix); with "-" for the 32-bit build, the x64 package only. The
# x86 package needs 32-bit Wine: where it cannot start, its test is skipped
# with a note. Each package:
#   - its tables: Users may change exactly the five files the product writes
#     at run time (MsiLockPermissionsEx), nothing else, not the folder; the
#     configuration file and its backup stay on removal;
#   - msiexec /i /qn installs: the DLLs and those five files, nothing else;
#     the add-in key with LoadBehavior 3, PluginPath, the entry in the
#     installed programs; a program of the package's architecture creates
#     every server by ProgID from the installation folder;
#   - the package's COM entries are what the installed servers'
#     DllRegisterServer writes (regcapture, which captures it without
#     writing);
#   - a package of a higher version replaces it: one entry in the installed
#     programs, of the new version, the user's configuration kept;
#   - msiexec /x /qn removes everything but the configuration file and its
#     backup: none of the product's registry keys or DLLs stays.
# Logs and listings go to <dist>/msi-test/.
set -u
tests_dir=$(cd "$(dirname "$0")" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build64=$(cd "$1" && pwd)
build32=
[ "$2" = - ] || build32=$(cd "$2" && pwd)
dist=$(cd "$3" && pwd)

# One X server for the whole run (the add-in puts its icon in the tray).
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

version=$(cat "$build64/corvane-version.txt")
out="$dist/msi-test"
rm -rf "$out"
mkdir -p "$out"

export WINEDEBUG=-all
export LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml="
. "$tests_dir/checks.sh"

servers=$(cut -d' ' -f1 "$build64/corvane-servers.txt")
user_files="notifyfolders.ini notifyfolders.ini.bak corvane.log ZarqNotifier.log corvaneProps.log"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# The next version: its last number plus one.
next_version=$(echo "$version" | awk -F. '{ $NF = $NF + 1; print }' OFS=.)

new_prefix() { # new_prefix <folder> <win64|win32> <loader>
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$1"
  mkdir -p "$(dirname "$1")"
  WINEPREFIX=$1 WINEARCH=$2 $3 wineboot -i >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w
}

# The prefix's registry keys (HKLM and HKCR live in system.reg), without
# the times Wine stamps on them.
registry_keys() {
  grep '^\[' "$1/system.reg" | sed -E 's/\] [0-9]+$/]/' | sort
}

# The top keys of a capture: what a registration owns (a class, ProgID,
# interface or type library key with everything below it), one per line.
capture_roots() {
  cut -f1 "$1" | awk -F'\\' '{ top = tolower($2)
    if (top == "clsid" || top == "interface" || top == "typelib" || top == "appid") print $1 "\\" $2 "\\" $3
    else print $1 "\\" $2 }' | sort -u
}

# A registry listing in the form both sides can be compared in. Windows
# Installer writes no empty string value (a Registry row without a value
# only makes the key), so an empty default value counts as none; and its
# folders end with a backslash, so a type library's help folder ends with
# one in the package (both name the same folder).
comparable() {
  sed -E -e 's/^([^\t]*)\t\tREG_SZ\t$/\1/' -e 's/^([^\t]*\\HELPDIR\t\tREG_SZ\t.*[^\\])$/\1\\/' "$1" | sort
}

msi_table() { # msi_table <package> <table>: its rows, without the three header lines
  msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | sort
}

package_tables() { # package_tables <name> <package>
  name=$1 msi=$2
  msi_table "$msi" File | awk -F'\t' '{ print $1 "\t" $3 }' >"$out/$name-files.txt"
  msi_table "$msi" MsiLockPermissionsEx >"$out/$name-locks.txt"
  # The files whose rights are set, by name, and the rights.
  awk -F'\t' 'NR == FNR { split($2, n, "|"); file[$1] = n[length(n)]; next }
    { print $3 "\t" file[$2] "\t" $4 }' "$out/$name-files.txt" "$out/$name-locks.txt" | sort >"$out/$name-rights.txt"
  : >"$out/$name-rights-expected.txt"
  for f in $user_files; do
    printf 'File\t%s\tD:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1301bf;;;BU)\n' "$f" >>"$out/$name-rights-expected.txt"
  done
  sort -o "$out/$name-rights-expected.txt" "$out/$name-rights-expected.txt"
  check "$name: Users may change exactly the files the product writes, nothing else (MsiLockPermissionsEx)" \
    cmp -s "$out/$name-rights-expected.txt" "$out/$name-rights.txt"
  check "$name: no package table gives rights on a folder or key" \
    [ -z "$(msiinfo tables "$msi" | grep -x 'LockPermissions')" ]
  # Permanent (0x10) and NeverOverwrite (0x80).
  check "$name: the configuration file and its backup stay on removal and are never replaced" \
    [ "$(msi_table "$msi" Component | awk -F'\t' '($1 == "ConfigFile" || $1 == "ConfigBackup") && int($4 / 16) % 2 == 1 && int($4 / 128) % 2 == 1' | wc -l)" -eq 2 ]
}

# The entries of the installed programs named corvane, with their versions.
arp_entries() { # arp_entries <regcapture loader> <regcapture>
  $1 "$2" show "$uninstall_key" 2>/dev/null | awk -F'\t' '$2 == "DisplayName" && $4 == "corvane" { print $1 }' |
    while read -r key; do
      $1 "$2" show "$key" </dev/null 2>/dev/null | awk -F'\t' '$2 == "DisplayVersion" { print $4 }'
    done
}

run_package() { # run_package <x64|x86> <winearch> <loader> <build>
  arch=$1 winearch=$2 loader=$3 build=$4
  name=$arch
  msi="$dist/corvane-$version-$arch.msi"
  check "$name: $msi exists" [ -f "$msi" ] || return
  package_tables "$name" "$msi"

  prefix="$out/prefix-$arch"
  new_prefix "$prefix" "$winearch" "$loader"
  export WINEPREFIX="$prefix"
  # Program Files of the prefix's own architecture (a 32-bit prefix has
  # one; the x64 package goes to the 64-bit one).
  windir='C:\Program Files\Wendmoor\Corvane' unixdir="$prefix/drive_c/Program Files/Wendmoor/Corvane"
  installcheck=$(winpath "$build/bin/installcheck.exe")
  regcapture=$(winpath "$build/bin/regcapture.exe")
  echo "== $name: $windir =="
  $loader "$installcheck" keys >"$out/$name-keys-before.txt" 2>/dev/null
  wineserver -w
  registry_keys "$prefix" >"$out/$name-registry-before.txt"

  $loader msiexec /i "$(winpath "$msi")" /qn /l*v "$(winpath "$out/$name-install-msi.log")" \
    >"$out/$name-install.log" 2>&1
  rc=$?
  wineserver -w
  check "$name: msiexec /i /qn exits with 0 (got $rc)" [ "$rc" -eq 0 ]
  (cd "$unixdir" 2>/dev/null && ls -A | sort) >"$out/$name-files-installed.txt"
  printf '%s\n' $servers $user_files | sort >"$out/$name-files-expected.txt"
  check "$name: the DLLs and the files the product writes, nothing else" \
    cmp -s "$out/$name-files-expected.txt" "$out/$name-files-installed.txt"
  for f in $user_files; do
    check "$name: $f is empty" test -f "$unixdir/$f" -a ! -s "$unixdir/$f"
  done

  $loader "$installcheck" keys >"$out/$name-keys-installed.txt" 2>/dev/null
  check "$name: add-in key with LoadBehavior 3" grep -q '"LoadBehavior" = dword:3' "$out/$name-keys-installed.txt"
  check "$name: PluginPath is the installation folder" \
    grep -qF "\"PluginPath\" = \"$windir\\\"" "$out/$name-keys-installed.txt"
  arp_entries "$loader" "$regcapture" >"$out/$name-arp.txt"
  check "$name: one entry in the installed programs, version $version" \
    [ "$(cat "$out/$name-arp.txt")" = "$version" ]

  $loader "$installcheck" load "$windir" >"$out/$name-load.txt" 2>&1
  rc=$?
  cat "$out/$name-load.txt"
  check "$name: every server loads by ProgID from the folder" [ "$rc" -eq 0 ]
  wineserver -w

  # What the installed servers register, against what the package wrote.
  # Wine's RegisterTypeLib writes the interfaces into the 32-bit view as
  # well, past the mapped root (Wow6432Node): the keys the capture adds to
  # the prefix are noted, and are no left-overs of the package.
  registry_keys "$prefix" >"$out/$name-registry-before-capture.txt"
  set --
  for dll in $servers; do set -- "$@" "$windir\\$dll"; done
  $loader "$regcapture" capture "$@" >"$out/$name-registration-servers.txt" 2>"$out/$name-registration.err"
  rc=$?
  check "$name: the installed servers' registration is captured (got $rc)" \
    test "$rc" -eq 0 -a -s "$out/$name-registration-servers.txt"
  wineserver -w
  registry_keys "$prefix" | comm -13 "$out/$name-registry-before-capture.txt" - >"$out/$name-registry-capture.txt"
  capture_roots "$out/$name-registration-servers.txt" >"$out/$name-registration-roots.txt"
  # shellcheck disable=SC2046
  $loader "$regcapture" show $(cat "$out/$name-registration-roots.txt") >"$out/$name-registration-package.txt"
  comparable "$out/$name-registration-servers.txt" >"$out/$name-registration-servers-cmp.txt"
  comparable "$out/$name-registration-package.txt" >"$out/$name-registration-package-cmp.txt"
  diff "$out/$name-registration-servers-cmp.txt" "$out/$name-registration-package-cmp.txt" \
    >"$out/$name-registration.diff"
  check "$name: the package's COM entries are what DllRegisterServer writes ($name-registration.diff)" \
    test -s "$out/$name-registration-servers.txt" -a ! -s "$out/$name-registration.diff"
  wineserver -w

  # A user's save; then the next version replaces this one.
  printf '[General]\r\nFolderCount=0\r\n; kept\r\n' >"$unixdir/notifyfolders.ini"
  printf '[General]\r\nFolderCount=0\r\n' >"$unixdir/notifyfolders.ini.bak"
  # The newer package: the same DLLs, so the same registration.
  next="$out/next-$arch"
  captures="$dist/msi-work/captures"
  [ -d "$captures" ] || captures=
  if [ "$arch" = x64 ]; then
    CORVANE_MSI_VERSION=$next_version CORVANE_MSI_CAPTURES="$captures" sh "$repo/installer/msi/build-msi.sh" "$build64" - "$next" >"$out/$name-next-build.log" 2>&1
  else
    CORVANE_MSI_VERSION=$next_version CORVANE_MSI_CAPTURES="$captures" sh "$repo/installer/msi/build-msi.sh" "$build64" "$build32" "$next" >"$out/$name-next-build.log" 2>&1
  fi
  export WINEPREFIX="$prefix"
  next_msi="$next/corvane-$next_version-$arch.msi"
  check "$name: a package of version $next_version is built" [ -f "$next_msi" ]
  $loader msiexec /i "$(winpath "$next_msi")" /qn /l*v "$(winpath "$out/$name-upgrade-msi.log")" \
    >"$out/$name-upgrade.log" 2>&1
  rc=$?
  wineserver -w
  check "$name: version $next_version installs over $version (got $rc)" [ "$rc" -eq 0 ]
  arp_entries "$loader" "$regcapture" >"$out/$name-arp-upgraded.txt"
  check "$name: one entry in the installed programs, version $next_version" \
    [ "$(cat "$out/$name-arp-upgraded.txt")" = "$next_version" ]
  check "$name: the user's configuration is kept" grep -q 'kept' "$unixdir/notifyfolders.ini"
  (cd "$unixdir" 2>/dev/null && ls -A | sort) >"$out/$name-files-upgraded.txt"
  check "$name: the new version's files" cmp -s "$out/$name-files-expected.txt" "$out/$name-files-upgraded.txt"
  $loader "$installcheck" load "$windir" >"$out/$name-load-upgraded.txt" 2>&1
  check "$name: every server loads by ProgID after the upgrade" [ "$?" -eq 0 ]
  wineserver -w

  $loader msiexec /x "$(winpath "$next_msi")" /qn /l*v "$(winpath "$out/$name-uninstall-msi.log")" \
    >"$out/$name-uninstall.log" 2>&1
  rc=$?
  wineserver -w
  check "$name: msiexec /x /qn exits with 0 (got $rc)" [ "$rc" -eq 0 ]
  (cd "$unixdir" 2>/dev/null && ls -A) >"$out/$name-files-after.txt"
  check "$name: only the configuration file and its backup stay" \
    [ "$(tr '\n' ' ' <"$out/$name-files-after.txt")" = "notifyfolders.ini notifyfolders.ini.bak " ]
  $loader "$installcheck" keys >"$out/$name-keys-after.txt" 2>/dev/null
  check "$name: the add-in, PluginPath and server keys are as before the installation" \
    cmp -s "$out/$name-keys-before.txt" "$out/$name-keys-after.txt"
  # shellcheck disable=SC2046
  $loader "$regcapture" show $(cat "$out/$name-registration-roots.txt") >"$out/$name-registration-after.txt"
  check "$name: none of the servers' keys stays" \
    test -s "$out/$name-registration-roots.txt" -a ! -s "$out/$name-registration-after.txt"
  arp_entries "$loader" "$regcapture" >"$out/$name-arp-after.txt"
  check "$name: no entry in the installed programs" [ ! -s "$out/$name-arp-after.txt" ]
  wineserver -w
  # Windows Installer's own records are not the product's keys: those under
  # ...\CurrentVersion\Installer keep the permanent components, and Wine
  # leaves the empty keys Classes\Installer\Products and the like.
  registry_keys "$prefix" | grep -v -i -e 'CurrentVersion\\\\Installer' -e 'Classes\\\\Installer' >"$out/$name-registry-after.txt"
  comm -13 "$out/$name-registry-before.txt" "$out/$name-registry-after.txt" |
    comm -23 - "$out/$name-registry-capture.txt" >"$out/$name-registry-left.txt"
  check "$name: no registry key of the product left behind ($name-registry-left.txt)" \
    [ ! -s "$out/$name-registry-left.txt" ]
  wineserver -k >/dev/null 2>&1 || true
}

start=$(date +%s)
export WINELOADER=/usr/lib/wine/wine64
run_package x64 win64 /usr/lib/wine/wine64 "$build64"
unset WINELOADER
if [ -z "$build32" ]; then
  echo "x86 package: not tested (no 32-bit build given)"
elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "x86 package: SKIPPED, this kernel cannot run 32-bit programs, so 32-bit Wine cannot start;"
  echo "   its tables are checked, its installation is tested where 32-bit Wine runs"
  package_tables x86 "$dist/corvane-$version-x86.msi"
else
  run_package x86 win32 wine "$build32"
fi
echo "msi test: $(($(date +%s) - start)) s; listings in $out"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
