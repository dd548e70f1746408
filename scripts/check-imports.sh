#!/usr/bin/env bash
# Checks that Windows binaries import only DLLs that every Windows has:
# check-imports.sh [--also NAME.dll]... FILE... Prints each file's imports on
# one line; fails naming any other DLL (NAME.dll given with --also is
# allowed too, e.g. TavrelC.dll for a host of it).
set -euo pipefail
system_dlls=" advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll dwmapi.dll gdi32.dll
    gdiplus.dll imm32.dll kernel32.dll msimg32.dll msvcrt.dll ntdll.dll ole32.dll oleacc.dll
    oleaut32.dll rpcrt4.dll secur32.dll shcore.dll shell32.dll shlwapi.dll user32.dll userenv.dll
    uxtheme.dll version.dll winhttp.dll winmm.dll ws2_32.dll api-ms-win-core-synch-l1-2-0.dll "
allowed=$(echo " $system_dlls " | tr -s "\n\t" "  ")
while [ "${1:-}" = --also ]; do
    allowed+=" $(echo "$2" | tr '[:upper:]' '[:lower:]') "
    shift 2
done
failed=0
for file in "$@"; do
    imports=$(objdump -p "$file" | sed -n 's/^\tDLL Name: //p' | tr '[:upper:]' '[:lower:]' | LC_ALL=C sort)
    echo "$(basename "$file") imports: $(echo $imports)"
    for dll in $imports; do
        if [[ "$allowed" != *" $dll "* ]]; then
            echo "check-imports: $file imports $dll, which Windows does not provide" >&2
            failed=1
        fi
    done
done
exit $failed
