#!/usr/bin/env bash
# Runs a Windows program under Wine in another locale, so that it has that
# locale's ANSI code page: wine-run-locale.sh LOCALE win32|win64 PROGRAM
# [ARGS], LOCALE as in ru_RU.UTF-8 (code page 1251). Wine takes its code
# page from the process's Unix locale, which the build compiles into the
# build folder (locale/, used through LOCPATH, so nothing is installed). The
# program gets a prefix of its own beside the one wine-run.sh would use
# (wineprefix-ru_RU), first copied from that one, and that prefix's server
# is waited out afterwards so nothing outlives the run.
set -euo pipefail
locale=$1
arch=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
bin_dir=$(cd "$(dirname "$1")" && pwd)
base=${TAVREL_WINEPREFIX:-$(dirname "$bin_dir")/wineprefix}
prefix=$base-${locale%%.*}
"$here/wine-prefix.sh" "$arch" "$base" >/dev/null
if [ ! -f "$prefix/.tavrel-ready" ]; then
    exec 9>"$prefix.lock"
    flock 9
    if [ ! -f "$prefix/.tavrel-ready" ]; then
        rm -rf "$prefix"
        cp -a "$base" "$prefix"
    fi
    exec 9>&-
fi
export LOCPATH=${TAVREL_LOCPATH:-$(dirname "$bin_dir")/locale}
export LANG=$locale LC_ALL=$locale
set +e
TAVREL_WINEPREFIX=$prefix "$here/wine-run.sh" "$arch" "$@"
rc=$?
WINEPREFIX=$prefix wineserver -w
exit $rc
