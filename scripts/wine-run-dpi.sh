#!/usr/bin/env bash
# Runs a Windows program under Wine on a screen of another DPI:
# wine-run-dpi.sh DPI win32|win64 PROGRAM [ARGS]. The program gets a prefix
# of its own beside the one wine-run.sh would use (wineprefix-dpiDPI), made
# once, and that prefix's server is waited out afterwards so nothing
# outlives the run.
set -euo pipefail
dpi=$1
arch=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
bin_dir=$(cd "$(dirname "$1")" && pwd)
prefix=${TAVREL_WINEPREFIX:-$(dirname "$bin_dir")/wineprefix}-dpi$dpi
"$here/wine-prefix.sh" "$arch" "$prefix" "$dpi" >/dev/null
set +e
TAVREL_WINEPREFIX=$prefix "$here/wine-run.sh" "$arch" "$@"
rc=$?
WINEPREFIX=$prefix wineserver -w
exit $rc
