#!/bin/sh
# screenshots.sh <build folder> [x y width height scale]: the README's
# pictures of the tray icon. Runs docs/screenshots.scenario in corvane-host
# under Xvfb (the build's COM servers registered in its prefix) and crops
# the area of the notification area from each full-screen shot into
# docs/<name>.png.
set -e
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi
shift || true
crop="${*:-0 18 166 26 3}"
run="$build/wine-run.sh"
out="$repo/out/screenshots"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

servers=""
for dll in "$build"/bin/*.dll; do
  grep -aq DllRegisterServer "$dll" && servers="$servers $dll"
done
# shellcheck disable=SC2086
sh "$repo/cmake/register-servers.sh" "$run" $servers >/dev/null
rm -rf "$out"
mkdir -p "$out"
"$run" "$build/bin/corvane-host.exe" "$(winpath "$repo/docs/screenshots.scenario")" --out "$(winpath "$out")"
for name in tray-nonewmail tray-newmail; do
  # shellcheck disable=SC2086
  python3 "$repo/tools/crop_png.py" "$out/$name.png" "$repo/docs/$name.png" $crop
  echo "docs/$name.png: $(wc -c <"$repo/docs/$name.png") bytes"
done
