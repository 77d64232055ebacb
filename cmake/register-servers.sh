#!/bin/sh
# register-servers.sh <wine-run.sh> <dll>...: registers each in-process COM
# server with regsvr32 in the build's Wine prefix.
run="$1"; shift
status=0
for dll in "$@"; do
  winpath="Z:$(printf '%s' "$dll" | tr '/' '\\')"
  if "$run" regsvr32 /s "$winpath"; then
    echo "registered $dll"
  else
    echo "FAILED to register $dll"; status=1
  fi
done
exit $status
