#!/bin/sh
# demo.sh <build folder>: the demo that `make demo` runs. Registers the
# build's COM servers in the build's Wine prefix, runs corvane-host's
# built-in scenario (the add-in corvane.Tarnwell in a small Outlook world),
# keeps its screenshots in out/demo/, then shows the trace and the end of
# the add-in's log file.
set -e
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
run="$build/wine-run.sh"
out="$repo/out/demo"

# One X server for the whole demo when there is no display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$build"
fi

# A Windows program is given Windows paths: drive Z: is the Unix root.
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

servers=""
for dll in "$build"/bin/*.dll; do
  [ -e "$dll" ] || continue
  if grep -aq DllRegisterServer "$dll"; then
    servers="$servers $dll"
  fi
done
# shellcheck disable=SC2086
sh "$repo/cmake/register-servers.sh" "$run" $servers

# Xvfb has no window manager: Wine draws the window frames itself, so that
# captions show in the screenshots.
"$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true

# Where the Properties dialog lies on the screen (x y width height).
PAGE_CROP="40 61 423 443"
# Where the scenario moves the notifier's window "Neue Nachrichten".
NOTIFIER_CROP="500 360 413 286"

rm -rf "$out"
mkdir -p "$out"
echo "== corvane-host (built-in demo) =="
"$run" "$build/bin/corvane-host.exe" --out "$(winpath "$out")" | tee "$out/trace.txt"

# Small, compressed copies of the Properties dialog with the page's two
# tabs and of the notifier's window, as the README shows them (docs/).
crop() {
  if [ -f "$out/$1.png" ]; then
    python3 "$repo/tools/crop_png.py" "$out/$1.png" "$out/$1-small.png" $2 || true
  fi
}
crop page-settings "$PAGE_CROP"
crop page-plugins "$PAGE_CROP"
crop notifier "$NOTIFIER_CROP"

echo
echo "== screenshots in $out =="
ls -1 "$out"/*.png 2>/dev/null || echo "(none)"
log="$build/bin/corvane.log"
if [ -f "$log" ]; then
  echo
  echo "== end of $log =="
  tail -n 40 "$log"
fi
