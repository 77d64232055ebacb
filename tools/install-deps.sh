#!/bin/sh
# install-deps.sh [package...]: installs the Debian packages given, or those
# the build needs, if any is missing.
# libz-mingw-w64-dev is the cross compilers' zlib (the screenshots' PNG
# compression, linked statically).
# 32-bit Wine (wine32:i386) runs the 32-bit build's tests; it needs the i386
# architecture, which is added first. nsis builds the installer; wixl and
# msitools (msibuild, msiinfo) build and inspect the Windows Installer
# packages; osslsigncode signs what is shipped and checks the signatures in
# the tests, with a throw-away certificate made by openssl; clang-format
# checks the sources' layout. The fuzz
# targets name their own packages (clang and its sanitizer runtimes).
set -e
pkgs="${*:-cmake make python3 mingw-w64 mingw-w64-tools libz-mingw-w64-dev libwine-dev wine wine64 wine32:i386 xvfb xauth googletest clang-format nsis wixl msitools osslsigncode openssl}"
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
# A mirror caught in the middle of a sync fails an index ("File has
# unexpected size"); a later try usually finds it whole. Should every try
# fail, the install goes on with the indexes there are and fails by itself
# if a package cannot be found.
tries=0
until $SUDO apt-get update -q; do
  tries=$((tries + 1))
  [ "$tries" -ge 4 ] && { echo "apt-get update failed $tries times; installing from the indexes there are"; break; }
  sleep $((tries * 15))
done
if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing; then
  # The i386 packages come from indexes of their own; when those are out of
  # step with the amd64 ones the whole install fails. Everything else is
  # still installed: without 32-bit Wine the 32-bit build is built and only
  # its tests that need no Wine run (the Makefile says so).
  native=""
  for p in $missing; do
    case "$p" in *:i386) ;; *) native="$native $p" ;; esac
  done
  [ "$native" = "$missing" ] && exit 1
  echo "install-deps: the i386 packages could not be installed; installing the others:$native" >&2
  [ -z "$native" ] || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $native
fi
