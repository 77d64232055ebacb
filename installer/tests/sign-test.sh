#!/bin/sh
# sign-test.sh <dll> <exe> <work folder>
#
# Signs copies of a built DLL and program, and a small Windows Installer
# package (when wixl is installed), with installer/sign.sh the way
# `make dist SIGN_PFX=... SIGN_PASSWORD=...` does, using a throw-away
# self-signed code-signing certificate made here with openssl. Checks:
#   - osslsigncode verifies each signed file against that certificate;
#   - it refuses each against another certificate of the same name, and
#     refuses the unsigned originals;
#   - the password never appears in osslsigncode's arguments nor in the
#     script's output;
#   - a wrong password, or a time-stamp server that does not answer, fails
#     with a message and leaves the file as it was.
# Runs on the build machine, no Wine needed.
set -u
tests_dir=$(cd "$(dirname "$0")" && pwd)
if [ $# -ne 3 ]; then
  echo "usage: sign-test.sh <dll> <exe> <work folder>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
sign="$here/../sign.sh"
dll_original=$1
exe_original=$2
work=$3
for tool in openssl osslsigncode; do
  command -v $tool >/dev/null 2>&1 || { echo "FAIL $tool is not installed (make deps installs it)"; exit 1; }
done

rm -rf "$work"
mkdir -p "$work/bin"
cd "$work" || exit 1

. "$tests_dir/checks.sh"
not() { ! "$@"; }

# Two throw-away certificates with the same subject: the signer's and a
# stranger's. Only the signer's may verify the signatures.
password="throw away $$ 'quoted' \$HOME"
make_certificate() { # make_certificate <name>
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=corvane test signing" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$1.key" -out "$1.pem" >/dev/null 2>&1
}
make_certificate signer || { echo "FAIL openssl could not make a certificate"; exit 1; }
make_certificate stranger || { echo "FAIL openssl could not make a certificate"; exit 1; }
(umask 077 && printf '%s' "$password" >password.txt)
openssl pkcs12 -export -inkey signer.key -in signer.pem -out signer.pfx -passout file:password.txt ||
  { echo "FAIL openssl could not write the PKCS#12 file"; exit 1; }

# Records every call's arguments, then runs the real osslsigncode.
real_osslsigncode=$(command -v osslsigncode)
cat >bin/osslsigncode <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/osslsigncode-calls.txt"
exec "$real_osslsigncode" "\$@"
EOF
chmod +x bin/osslsigncode
: >osslsigncode-calls.txt

files="$(basename "$dll_original") $(basename "$exe_original")"
cp "$dll_original" "$exe_original" .
mkdir unsigned
cp "$dll_original" "$exe_original" unsigned/

if command -v wixl >/dev/null 2>&1; then
  echo "a file in the test package" >payload.txt
  cat >test.wxs <<'EOF'
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="corvane signing test" Manufacturer="Wendmoor" Version="1.0.0"
           Language="1033" UpgradeCode="6F0C3D52-41A7-4B8E-9E0B-3C5D2A7E91F4">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="test.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="corvane-signing-test">
          <Component Id="Payload" Guid="*">
            <File Id="PayloadFile" Source="payload.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Payload"/></Feature>
  </Product>
</Wix>
EOF
  if wixl -o test.msi test.wxs; then
    cp test.msi unsigned/
    files="$files test.msi"
  else
    echo "FAIL wixl could not build the test package"; failed=$((failed + 1))
  fi
else
  echo "note: wixl is not installed; no package is signed, only the DLL and the program"
fi

# shellcheck disable=SC2086 # $files: file names without spaces
out=$(PATH="$work/bin:$PATH" SIGN_PFX=signer.pfx SIGN_PASSWORD="$password" sh "$sign" $files 2>&1)
status=$?
printf '%s\n' "$out"
check "sign.sh signs $files" test "$status" -eq 0

verifies() { osslsigncode verify -CAfile "$1" -in "$2" >"$2.verify-$(basename "$1" .pem).txt" 2>&1; }
for f in $files; do
  check "$f: verified against the signer's certificate" verifies signer.pem "$f"
  check "$f: refused against another certificate" not verifies stranger.pem "$f"
  check "$f: the unsigned original is refused" not verifies signer.pem "unsigned/$f"
done

password_hidden() {
  ! grep -qF "$password" osslsigncode-calls.txt && ! printf '%s' "$out" | grep -qF "$password" &&
    grep -q -- "-readpass" osslsigncode-calls.txt
}
check "the password is on no command line and in no output (-readpass)" password_hidden

dll=$(basename "$dll_original")
cp "unsigned/$dll" wrong-password.dll
out=$(SIGN_PFX=signer.pfx SIGN_PASSWORD="not $password" sh "$sign" wrong-password.dll 2>&1)
status=$?
check "a wrong password fails" test "$status" -ne 0
check "... with a message" sh -c 'printf "%s" "$1" | grep -q "could not be signed"' - "$out"
check "... and the file is unchanged" cmp -s "unsigned/$dll" wrong-password.dll

# A time-stamp server that refuses the connection: the time stamp is asked
# for (-ts), signing fails, nothing changes.
cp "unsigned/$dll" no-timestamp.dll
: >osslsigncode-calls.txt
PATH="$work/bin:$PATH" SIGN_PFX=signer.pfx SIGN_PASSWORD="$password" SIGN_TIMESTAMP=http://127.0.0.1:9/ \
  sh "$sign" no-timestamp.dll >/dev/null 2>&1
status=$?
check "SIGN_TIMESTAMP is passed to osslsigncode" grep -q -- "-ts http://127.0.0.1:9/" osslsigncode-calls.txt
check "an unreachable time-stamp server fails" test "$status" -ne 0
check "... and the file is unchanged" cmp -s "unsigned/$dll" no-timestamp.dll

out=$(env -u SIGN_PFX sh "$sign" "$dll" 2>&1)
status=$?
check "without SIGN_PFX sign.sh refuses with a message" sh -c '[ "$1" -ne 0 ] && printf "%s" "$2" | grep -q "SIGN_PFX is not set"' - "$status" "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
