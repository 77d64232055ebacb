#!/bin/sh
# install-test.sh <64-bit build> <32-bit build> <dist folder>
#
# Tries the setup program under Wine, each case in a fresh prefix of its own
# (never a build's test prefix):
#   x64    64-bit Windows with a 64-bit Outlook ("Bitness" = "x64"): the
#          64-bit DLLs into Program Files
#   wow64  the same prefix, the 64-bit build installed again and a user's
#          configuration saved, then Outlook becomes 32-bit: the setup
#          removes the 64-bit installation, moves the configuration and
#          installs the 32-bit DLLs into Program Files (x86), registered in
#          the 32-bit view
#   win32  32-bit Windows (32-bit Wine): the 32-bit DLLs
#   c2r2013  64-bit Windows with a 64-bit Office 2013 Click-to-Run, which says
#          so only under its own key (Office\15.0\ClickToRun\Configuration,
#          "Platform" = "x64"): the 64-bit DLLs
# Each case: silent install; the installer's keys are there; the setup's
# log (/LOG) shows the rights it gave the group Users: none of their own on
# the folder, change on the configuration file, its backup and the three
# logs, nothing else; a program of the installed architecture creates
# every server (the build's list, corvane-servers.txt) by ProgID from the
# installation folder; a user's configuration file is written; silent
# uninstall; the installer's keys are gone (as before the
# installation, and no key of the prefix's registry is left over) and so are
# its files, except the configuration file.
# Logs and key listings go to <dist>/install-test/.
set -u
tests_dir=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$(dirname "$0")/../.." && pwd)
build64=$(cd "$1" && pwd)
build32=$(cd "$2" && pwd)
dist=$(cd "$3" && pwd)

# One X server for the whole run (the add-in puts its icon in the tray).
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

version=$(cat "$build64/corvane-version.txt")
setup="$dist/corvane-setup-$version.exe"
out="$dist/install-test"
rm -rf "$out"
mkdir -p "$out"
[ -f "$setup" ] || { echo "no $setup: run make dist first"; exit 1; }

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine64=/usr/lib/wine/wine64
. "$tests_dir/checks.sh"

# The product's DLLs, from the build's list of its COM servers.
servers=$(cut -d' ' -f1 "$build64/corvane-servers.txt")
server_count=$(echo "$servers" | wc -w)

# The files the product writes at run time, which users may change.
user_files="notifyfolders.ini notifyfolders.ini.bak corvane.log ZarqNotifier.log corvaneProps.log"

# The setup's log lines for the rights of the group Users, in the folder
# given (Windows path).
expected_rights() {
  printf 'Rechte der Benutzer (S-1-5-32-545) an %s: keine eigenen, nur geerbte\n' "$1"
  for f in $user_files; do
    printf 'Rechte der Benutzer (S-1-5-32-545) an %s\\%s: ändern\n' "$1" "$f"
  done
}

new_prefix() { # new_prefix <folder> <win64|win32>
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$1"
  mkdir -p "$(dirname "$1")"
  WINEPREFIX=$1 WINEARCH=$2 wine wineboot -i >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w
}

# The prefix's registry keys (HKLM and HKCR live in system.reg), without
# the times Wine stamps on them.
registry_keys() {
  grep '^\[' "$1/system.reg" | sed -E 's/\] [0-9]+$/]/' | sort
}

run_case() { # run_case <name> <prefix> <loader of installcheck> <installcheck.exe> <setup switches> <folder, Windows> <folder, Unix>
  name=$1 prefix=$2 loader=$3 check_exe=$(winpath "$4") switches=$5 windir=$6 unixdir=$7
  export WINEPREFIX="$prefix"
  echo "== $name: $windir =="
  # The keys as a program of this architecture saw them before anything
  # was installed (the wow64 case starts with the 64-bit build installed).
  if [ ! -f "$out/$name-keys-before.txt" ]; then
    $loader "$check_exe" keys >"$out/$name-keys-before.txt" 2>/dev/null
    wineserver -w
  fi
  [ -f "$out/$name-registry-before.txt" ] || registry_keys "$prefix" >"$out/$name-registry-before.txt"

  # shellcheck disable=SC2086
  wine "$(winpath "$setup")" /S "/LOG=$(winpath "$out/$name-setup-utf16.log")" $switches >"$out/$name-install.log" 2>&1
  rc=$?
  wineserver -w
  check "$name: silent install exits with 0 (got $rc)" [ "$rc" -eq 0 ]
  for f in $servers uninstall.exe $user_files; do
    check "$name: $f installed" [ -f "$unixdir/$f" ]
  done
  check "$name: no log for rovane.dll, which writes none" [ ! -e "$unixdir/rovane.log" ]

  # Wine keeps no access list of its own: it shows one made from the Unix
  # mode (SYSTEM, the owner, Everyone) and turns a list it is given into a
  # mode, so an entry for Users is lost and cannot be read back. What the
  # setup did is checked in its log instead; on Windows the same lines say
  # that the security API accepted each change.
  iconv -f UTF-16 -t UTF-8 "$out/$name-setup-utf16.log" >"$out/$name-setup.log" 2>/dev/null
  expected_rights "$windir" >"$out/$name-rights-expected.txt"
  grep -F 'Rechte der Benutzer' "$out/$name-setup.log" | tr -d '\r' >"$out/$name-rights.txt"
  check "$name: Users get no right of their own on the folder, change on each file it writes, nothing else" \
    cmp -s "$out/$name-rights-expected.txt" "$out/$name-rights.txt"

  $loader "$check_exe" keys >"$out/$name-keys-installed.txt" 2>/dev/null
  check "$name: add-in key with LoadBehavior 3" grep -q '"LoadBehavior" = dword:3' "$out/$name-keys-installed.txt"
  check "$name: PluginPath is the installation folder" \
    grep -qF "\"PluginPath\" = \"$windir\"" "$out/$name-keys-installed.txt"
  if [ -n "${moved_from:-}" ]; then
    check "$name: the installation of the other architecture is gone" [ ! -e "$moved_from" ]
    check "$name: its configuration file moved here" grep -q 'moved along' "$unixdir/notifyfolders.ini"
    $other_loader "$other_check_exe" keys >"$out/$name-other-keys.txt" 2>/dev/null
    # ProgIDs and type library keys are shared by both registry views, so
    # the other view shows the new registrations; its own keys are gone.
    check "$name: the other architecture's add-in, PluginPath and uninstall keys are gone" \
      [ "$(grep -c '^HKLM.*: (absent)' "$out/$name-other-keys.txt")" -eq 3 ]
    check "$name: the other architecture's servers are unregistered" \
      [ "$(grep -c 'InprocServer32: (absent)' "$out/$name-other-keys.txt")" -eq "$server_count" ]
  fi
  check "$name: uninstall entry with version $version" \
    grep -qF "\"DisplayVersion\" = \"$version\"" "$out/$name-keys-installed.txt"
  check "$name: quiet uninstall command" grep -q '"QuietUninstallString" = ".*uninstall.exe" /S' \
    "$out/$name-keys-installed.txt"

  $loader "$check_exe" load "$windir" >"$out/$name-load.txt" 2>&1
  rc=$?
  cat "$out/$name-load.txt"
  check "$name: every server loads by ProgID from the folder" [ "$rc" -eq 0 ]
  wineserver -w

  # What a user's save leaves: the configuration file and its backup.
  printf '[General]\r\nFolderCount=0\r\n' >"$unixdir/notifyfolders.ini"
  printf '[General]\r\nFolderCount=0\r\n' >"$unixdir/notifyfolders.ini.bak"

  wine "$(winpath "$unixdir/uninstall.exe")" /S >"$out/$name-uninstall.log" 2>&1
  rc=$?
  wineserver -w  # the uninstaller runs on from a copy of itself
  check "$name: silent uninstall exits with 0 (got $rc)" [ "$rc" -eq 0 ]
  $loader "$check_exe" keys >"$out/$name-keys-after.txt" 2>/dev/null
  wineserver -w
  check "$name: the installer's keys are as before the installation" \
    cmp -s "$out/$name-keys-before.txt" "$out/$name-keys-after.txt"
  registry_keys "$prefix" >"$out/$name-registry-after.txt"
  comm -13 "$out/$name-registry-before.txt" "$out/$name-registry-after.txt" >"$out/$name-registry-left.txt"
  check "$name: no registry key left behind" [ ! -s "$out/$name-registry-left.txt" ]
  (cd "$unixdir" 2>/dev/null && ls -A) >"$out/$name-files-after.txt"
  check "$name: only the configuration file and its backup stay" \
    [ "$(tr '\n' ' ' <"$out/$name-files-after.txt")" = "notifyfolders.ini notifyfolders.ini.bak " ]
  wineserver -k >/dev/null 2>&1 || true
}

start=$(date +%s)
p64="$dist/install-test/prefix-win64"
new_prefix "$p64" win64
WINEPREFIX=$p64 $wine64 reg add 'HKLM\SOFTWARE\Microsoft\Office\16.0\Outlook' /v Bitness /d x64 /f >/dev/null 2>&1
WINEPREFIX=$p64 wineserver -w
WINEPREFIX=$p64 wine "$(winpath "$build32/bin/installcheck.exe")" keys >"$out/wow64-keys-before.txt" 2>/dev/null
WINEPREFIX=$p64 wineserver -w
registry_keys "$p64" >"$out/wow64-registry-before.txt"
run_case x64 "$p64" "$wine64" "$build64/bin/installcheck.exe" "" \
  'C:\Program Files\Wendmoor\Corvane' "$p64/drive_c/Program Files/Wendmoor/Corvane"
rm -f "$p64/drive_c/Program Files/Wendmoor/Corvane/"notifyfolders.ini*
rmdir "$p64/drive_c/Program Files/Wendmoor/Corvane" "$p64/drive_c/Program Files/Wendmoor" 2>/dev/null

# The 64-bit build again, with a configuration; then Outlook turns 32-bit.
export WINEPREFIX="$p64"
wine "$(winpath "$setup")" /S >/dev/null 2>&1
wineserver -w
printf '[General]\r\nFolderCount=0\r\n; moved along\r\n' >"$p64/drive_c/Program Files/Wendmoor/Corvane/notifyfolders.ini"
$wine64 reg delete 'HKLM\SOFTWARE\Microsoft\Office\16.0\Outlook' /v Bitness /f >/dev/null 2>&1
wineserver -w
moved_from="$p64/drive_c/Program Files/Wendmoor/Corvane"
other_loader=$wine64 other_check_exe=$(winpath "$build64/bin/installcheck.exe")
run_case wow64 "$p64" wine "$build32/bin/installcheck.exe" "" \
  'C:\Program Files (x86)\Wendmoor\Corvane' "$p64/drive_c/Program Files (x86)/Wendmoor/Corvane"

moved_from=""

p32="$dist/install-test/prefix-win32"
new_prefix "$p32" win32
run_case win32 "$p32" wine "$build32/bin/installcheck.exe" "" \
  'C:\Program Files\Wendmoor\Corvane' "$p32/drive_c/Program Files/Wendmoor/Corvane"

# /x64 cannot install on 32-bit Windows: the setup refuses and says so.
export WINEPREFIX="$p32"
wine "$(winpath "$setup")" /S /x64 >/dev/null 2>&1
rc=$?
wineserver -w
check "win32: /x64 is refused (exit code 2, got $rc)" [ "$rc" -eq 2 ]
check "win32: nothing installed by the refused /x64" [ ! -e "$p32/drive_c/Program Files/Wendmoor/Corvane/corvane.dll" ]
wineserver -k >/dev/null 2>&1 || true

# Office 2013 Click-to-Run, 64-bit, with none of the other keys.
pc2r="$dist/install-test/prefix-c2r2013"
new_prefix "$pc2r" win64
WINEPREFIX=$pc2r $wine64 reg add 'HKLM\SOFTWARE\Microsoft\Office\15.0\ClickToRun\Configuration' /v Platform /d x64 /f \
  >/dev/null 2>&1
WINEPREFIX=$pc2r wineserver -w
run_case c2r2013 "$pc2r" "$wine64" "$build64/bin/installcheck.exe" "" \
  'C:\Program Files\Wendmoor\Corvane' "$pc2r/drive_c/Program Files/Wendmoor/Corvane"

echo "install test: $(($(date +%s) - start)) s; listings in $out"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
