#!/bin/sh
# Installs the Debian packages the build needs, if any is missing.
set -e
pkgs="cmake make python3 mingw-w64 mingw-w64-tools libwine-dev wine wine64 xvfb xauth googletest"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
