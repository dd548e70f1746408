#!/bin/sh
# Runs a command inside the x86 test guest the way `./tavrel` runs it on a
# machine with 32-bit support: Xvfb on a display of its own, a persistent
# Wine server for the guest's ready-made win32 prefix, and the knobs that
# tell the project's scripts and tests where they are:
#   TAVREL_WINEPREFIX      the prefix made when the guest was built
#   TAVREL_SDK_PREBUILT=1  host programs were built on the host; only run them
#   TAVREL_EMULATED=1      long-running tests may scale down their cycles
# guest-run.sh COMMAND [ARGS]
export TAVREL_WINEPREFIX=/opt/tavrel/prefix-win32 TAVREL_SDK_PREBUILT=1 TAVREL_EMULATED=1
export TAVREL_DEMO_PREBUILT=1 WINEPREFIX=/opt/tavrel/prefix-win32 WINEDEBUG=-all
Xvfb :90 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=:90
n=0
while [ ! -e /tmp/.X11-unix/X90 ] && [ $n -lt 300 ]; do sleep 0.1; n=$((n + 1)); done
wineserver -p
echo "x86 guest: $(uname -r), $(/usr/lib/wine/wine --version), $(nproc) CPUs"
"$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc
