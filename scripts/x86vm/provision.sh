#!/bin/sh
# Runs once in the freshly built guest, which keeps what it writes: makes the
# win32 Wine prefix that every later (throw-away) boot starts from, since a
# new prefix costs minutes under emulation.
set -e
"$(dirname "$0")/../wine-prefix.sh" win32 /opt/tavrel/prefix-win32
WINEPREFIX=/opt/tavrel/prefix-win32 /usr/lib/wine/wine --version
test -s /opt/tavrel/prefix-win32/.tavrel-ready
echo "guest prefix ready"
