#!/bin/sh
# dpi-prefix.sh <wine-run.sh> <dpi> <dll>...: makes the Wine prefix named by
# CORVANE_WINE_PREFIX a screen of <dpi> pixels per inch and registers the
# COM servers in it. Wine reads the screen's resolution from
# HKCU\Control Panel\Desktop\LogPixels when a program starts.
run="$1"; dpi="$2"; shift 2
[ -n "$CORVANE_WINE_PREFIX" ] || { echo "dpi-prefix.sh: CORVANE_WINE_PREFIX is not set" >&2; exit 1; }
"$run" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || exit 1
WINEPREFIX="$CORVANE_WINE_PREFIX" wineserver -w
exec sh "$(dirname "$0")/register-servers.sh" "$run" "$@"
