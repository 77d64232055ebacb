#!/bin/sh
# sign.sh <file>...
# Gives each file (a DLL, an .exe or a Windows Installer package) an
# Authenticode signature with osslsigncode, in place. From the environment:
#   SIGN_PFX        the certificate and its private key (a PKCS#12 file)
#   SIGN_PASSWORD   the password of that file (may be empty)
#   SIGN_TIMESTAMP  optional: the URL of an RFC 3161 time-stamp server; with
#                   a time stamp the signature stays valid after the
#                   certificate expires
# The password reaches osslsigncode through a file only its owner can read
# (-readpass), never on a command line that ps shows, and is never printed.
# A file that cannot be signed stays as it was, and the script fails.
set -eu
if [ $# -eq 0 ]; then
  echo "usage: SIGN_PFX=<file> SIGN_PASSWORD=<password> [SIGN_TIMESTAMP=<url>] sign.sh <file>..." >&2
  exit 2
fi
pfx=${SIGN_PFX:-}
if [ -z "$pfx" ]; then
  echo "sign.sh: SIGN_PFX is not set: no certificate to sign with" >&2
  exit 2
fi
if [ ! -r "$pfx" ]; then
  echo "sign.sh: the certificate file $pfx cannot be read" >&2
  exit 1
fi
if ! command -v osslsigncode >/dev/null 2>&1; then
  echo "sign.sh: osslsigncode is not installed (Debian package osslsigncode)" >&2
  exit 1
fi

private=$(umask 077 && mktemp -d)
replacing=""
trap 'rm -rf "$private"; [ -z "$replacing" ] || rm -f "$replacing"' EXIT
trap 'exit 1' HUP INT TERM
pass_args=""
if [ -n "${SIGN_PASSWORD:-}" ]; then
  # printf is a shell builtin: the password appears in no process's arguments.
  (umask 077 && printf '%s' "$SIGN_PASSWORD" >"$private/password")
  pass_args="-readpass $private/password"
fi
stamp_args=""
if [ -n "${SIGN_TIMESTAMP:-}" ]; then
  stamp_args="-ts $SIGN_TIMESTAMP"
fi

for file in "$@"; do
  if [ ! -f "$file" ]; then
    echo "sign.sh: no such file: $file" >&2
    exit 1
  fi
  signed="$private/signed"
  rm -f "$signed"
  # shellcheck disable=SC2086 # the option lists split into words on purpose
  if ! osslsigncode sign -pkcs12 "$pfx" $pass_args -h sha256 -n corvane $stamp_args \
    -in "$file" -out "$signed" >"$private/log" 2>&1; then
    echo "sign.sh: $file could not be signed (left unchanged):" >&2
    sed 's/^/  /' "$private/log" >&2
    exit 1
  fi
  # Same folder, then one rename: the file is either the unsigned or the
  # signed one, never half of it.
  replacing="$file.signing"
  cp "$signed" "$replacing"
  chmod --reference="$file" "$replacing" 2>/dev/null || true
  mv -f "$replacing" "$file"
  replacing=""
  echo "signed $file"
done
