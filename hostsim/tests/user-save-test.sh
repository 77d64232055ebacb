#!/bin/sh
# user-save-test.sh <build folder> <win64|win32>
#
# An ordinary user's Apply on the page "Überwachung", in an installation as
# the setup leaves it: the installation folder belongs to the administrator
# and an ordinary user may not create files in it, while the configuration
# file, its backup and the log files are there and writable by every user.
# The user watches a folder (Properties, "Diesen Ordner überwachen", OK);
# the folder must then be in notifyfolders.ini, nothing may have been
# created in the installation folder, and no log may hold "Access denied".
#
# Run as root, Wine ignores Unix file permissions; run as an ordinary user
# it refuses writes that the Unix permissions refuse, as Windows refuses a
# standard user in Program Files (Microsoft Learn, "How User Account Control
# works": standard users cannot write to %ProgramFiles%; a manifested or
# 64-bit program such as Outlook gets no file virtualization, so the write
# fails with ERROR_ACCESS_DENIED). So the host runs as the user corvane-user
# (made here if missing) in a Wine prefix of that user's own, made once per
# architecture and reused. Exit code 77: the test cannot run here (not
# root, or no way to run a program as another user).
set -u
arch=$2
build=$(cd "$1" && pwd)
user=corvane-user

skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "runs only as root: it runs the host as the ordinary user $user"
command -v runuser >/dev/null 2>&1 || skip "no runuser: cannot run the host as the ordinary user $user"
if ! id -u "$user" >/dev/null 2>&1; then
  command -v useradd >/dev/null 2>&1 || skip "no user $user and no useradd to make one"
  useradd -m -s /bin/sh "$user" || skip "useradd could not make the user $user"
fi

# One X server for the whole run.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

home=$(getent passwd "$user" | cut -d: -f6)
base="$home/corvane-user-save"
work="$base/$arch"
prefix="$work/prefix"
mkdir -p "$work"
chown "$user:" "$home" "$base" "$work"
cd "$work" || exit 1
# One run at a time per architecture: the prefix and the folder are shared.
exec 9>"$base/$arch.lock"
flock 9

# The display's key, for the user (the X server's own file is root's alone).
xauth=""
if [ -n "${XAUTHORITY:-}" ] && [ -r "$XAUTHORITY" ]; then
  xauth="$work/Xauthority"
  cp "$XAUTHORITY" "$xauth"
  chown "$user:" "$xauth"
  chmod 600 "$xauth"
fi

as_user() {
  runuser -u "$user" -- env HOME="$home" USER="$user" LOGNAME="$user" WINEPREFIX="$prefix" \
    CORVANE_WINE_PREFIX="$prefix" DISPLAY="$DISPLAY" XAUTHORITY="$xauth" "$@" 9>&-
}
# The build's own runner, in the user's prefix (made by it on first use).
run() { as_user sh "$build/wine-run.sh" "$@"; }
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The user's wineserver ends with the run, so that none outlives this X server.
as_user wineserver -k >/dev/null 2>&1
trap 'as_user wineserver -k >/dev/null 2>&1' EXIT
run cmd /c exit >"$work/prefix-check.txt" 2>&1 || {
  echo "FAIL Wine cannot start a program in the prefix $prefix ($arch):"
  sed 's/^/    /' "$work/prefix-check.txt"
  exit 1
}

# The installation folder as the setup leaves it.
dir="$prefix/drive_c/Program Files/Wendmoor/Corvane"
windir='C:\Program Files\Wendmoor\Corvane'
rm -rf "$dir"
mkdir -p "$dir"
cp "$build"/bin/*.dll "$build/bin/corvane-host.exe" "$dir/"
for f in notifyfolders.ini notifyfolders.ini.bak corvane.log corvaneProps.log ZarqNotifier.log; do
  : >"$dir/$f"
  chmod 666 "$dir/$f"
done
chown -R root:root "$prefix/drive_c/Program Files/Wendmoor"
chmod 755 "$prefix/drive_c/Program Files/Wendmoor" "$dir"
chmod 644 "$dir"/*.dll "$dir/corvane-host.exe"

failed=0
fail() {
  echo "FAIL $*"
  failed=1
}

for dll in corvane.dll corvaneProps.dll ZarqNotifier.dll rovane.dll; do
  run regsvr32 /s "$windir\\$dll" || fail "regsvr32 $dll as $user"
done
as_user wineserver -w

cat >"$work/save.scenario" <<'EOF'
# An ordinary user watches a public folder through the page.
folder Support
pluginpath .
connect corvane.Tarnwell
properties Support
page Überwachung
check "Diesen Ordner überwachen"
ok
log notifyfolders.ini lines=40
disconnect
release
EOF
chown "$user:" "$work/save.scenario"

(cd "$dir" && ls -A) >"$work/files-before.txt"
run "$windir\\corvane-host.exe" "$(winpath "$work/save.scenario")" >"$work/host.txt" 2>&1
rc=$?
as_user wineserver -w
(cd "$dir" && ls -A) >"$work/files-after.txt"

[ "$rc" -eq 0 ] || fail "corvane-host.exe as $user ended with exit code $rc"
grep -q 'Properties of "Support" closed (OK)' "$work/host.txt" ||
  fail "the scenario did not get through the Properties dialog"

# The host prints the file as the add-in left it.
tr -d '\r' <"$work/host.txt" >"$work/trace.txt"
grep -qxF '  | FolderCount=1' "$work/trace.txt" ||
  fail "the user's save did not reach notifyfolders.ini: no FolderCount=1"
grep -qxF '  | FriendlyName=Support' "$work/trace.txt" || fail "notifyfolders.ini has no folder Support"
if ! cmp -s "$work/files-before.txt" "$work/files-after.txt"; then
  fail "files were created in the installation folder: $(comm -13 "$work/files-before.txt" "$work/files-after.txt" | tr '\n' ' ')"
fi
denied=$(grep -il 'access denied' "$dir"/*.log)
[ -z "$denied" ] || fail "\"Access denied\" is logged in: $denied"

if [ "$failed" -ne 0 ]; then
  echo "the host's trace ($work/host.txt):"
  sed 's/^/    /' "$work/host.txt"
  exit 1
fi
echo "ok: the folder is saved in notifyfolders.ini, nothing was created in $windir, no access was denied"
