#!/usr/bin/env bash
# Makes a Wine prefix once: wine-prefix.sh win32|win64 DIR [DPI]. Without a
# window manager Wine waits for one whenever a managed window goes away; the
# prefix turns managed windows off so tests do not wait. A crashing program
# must end with its failure, not start Wine's crash debugger (which waits for
# ever for someone to answer it), so the debugger is switched off. With DPI
# the prefix's screen has that DPI (Wine reads LogPixels when its server
# starts; the server of a new prefix has stopped when this returns). A DPI
# prefix named BASE-dpiN starts as a copy of a ready BASE when there is one:
# a new prefix costs seconds natively but minutes under emulation.
set -euo pipefail
arch=$1
prefix=$2
dpi=${3:-}
recipe=2   # raise when the settings below change: older prefixes are redone
ready() { [ "$(cat "$1/.tavrel-ready" 2>/dev/null)" = "$recipe" ]; }
ready "$prefix" && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
ready "$prefix" && exit 0
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = win64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
reg() { "$loader" reg "$@" >/dev/null 2>&1; }
base=${prefix%-dpi"$dpi"}
if [ -n "$dpi" ] && [ "$base" != "$prefix" ] && ready "$base"; then
    rm -rf "$prefix"
    cp -a "$base" "$prefix"
    rm -f "$prefix/.tavrel-ready"
else
    "$loader" wineboot -i >/dev/null 2>&1
    reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /f || true
    if [ "$arch" = win64 ]; then
        reg delete 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /f || true
    fi
fi
if [ -n "$dpi" ]; then
    reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
fi
wineserver -w
echo "$recipe" >"$prefix/.tavrel-ready"
