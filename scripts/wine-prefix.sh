#!/usr/bin/env bash
# Makes a Wine prefix once: wine-prefix.sh win32|win64 DIR. Without a window
# manager Wine waits for one whenever a managed window goes away; the prefix
# turns managed windows off so tests do not wait. A crashing program must end
# with its failure, not start Wine's crash debugger (which waits for ever for
# someone to answer it), so the debugger is switched off.
set -euo pipefail
arch=$1
prefix=$2
recipe=2   # raise when the settings below change: older prefixes are redone
ready() { [ "$(cat "$prefix/.tavrel-ready" 2>/dev/null)" = "$recipe" ]; }
ready && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
ready && exit 0
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = win64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
reg() { "$loader" reg "$@" >/dev/null 2>&1; }
"$loader" wineboot -i >/dev/null 2>&1
reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /f || true
if [ "$arch" = win64 ]; then
    reg delete 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /f || true
fi
wineserver -w
echo "$recipe" >"$prefix/.tavrel-ready"
