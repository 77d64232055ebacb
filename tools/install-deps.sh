#!/bin/sh
# install-deps.sh [package...]: installs the Debian packages given, or those
# the build needs, if any is missing.
# libz-mingw-w64-dev is the cross compilers' zlib (the screenshots' PNG
# compression, linked statically).
# 32-bit Wine (wine32:i386) runs the 32-bit build's tests; it needs the i386
# architecture, which is added first. nsis builds the installer; wixl and
# msitools (msibuild, msiinfo) build and inspect the Windows Installer
# packages; osslsigncode signs what is shipped and checks the signatures in
# the tests, with a throw-away certificate made by openssl. The fuzz
# targets name their own packages (clang and its sanitizer runtimes).
set -e
pkgs="${*:-cmake make python3 mingw-w64 mingw-w64-tools libz-mingw-w64-dev libwine-dev wine wine64 wine32:i386 xvfb xauth googletest nsis wixl msitools osslsigncode openssl}"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
case "$missing" in
  *:i386*)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386
    fi ;;
esac
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
