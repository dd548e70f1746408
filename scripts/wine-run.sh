#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh win32|win64 PROGRAM [ARGS].
# The Wine prefix lives beside the program (in its build folder), is made
# once and reused; Wine's optional downloads are disabled.
set -euo pipefail
arch=$1
shift
program=$1
bin_dir=$(cd "$(dirname "$program")" && pwd)
export WINEPREFIX=${TAVREL_WINEPREFIX:-$(dirname "$bin_dir")/wineprefix}
export WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = win64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
"$(dirname "$0")/wine-prefix.sh" "$arch" "$WINEPREFIX" >/dev/null
# Wine's helper processes (services, explorer) may outlive the program and
# would hold its output pipe open; they get a file instead, which is shown
# as it grows, so that a program stopped at its time limit still shows how
# far it came.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$loader" "$@" >"$out" 2>&1 </dev/null &
program_pid=$!
tail -n +1 -s 0.2 -f --pid=$program_pid "$out" &
tail_pid=$!
set +e
wait $program_pid
rc=$?
wait $tail_pid
set -e
exit $rc
