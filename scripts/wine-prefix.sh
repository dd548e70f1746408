#!/usr/bin/env bash
# Makes a Wine prefix once: wine-prefix.sh win32|win64 DIR. Without a window
# manager Wine waits for one whenever a managed window goes away; the prefix
# turns managed windows off so tests do not wait.
set -euo pipefail
arch=$1
prefix=$2
[ -f "$prefix/.tavrel-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.tavrel-ready" ] && exit 0
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = win64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
"$loader" wineboot -i >/dev/null 2>&1
"$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.tavrel-ready"
