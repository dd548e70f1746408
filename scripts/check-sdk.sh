#!/usr/bin/env bash
# Checks an unpacked SDK archive: check-sdk.sh DIR (the Tavrel-<version>-sdk
# folder). Every checksum of SHA256SUMS holds and lists every file, and each
# architecture has its DLLs (built for that machine), import libraries,
# .def file, headers and CMake package beside the top-level package, the
# bindings and README.txt; every DLL is stripped and names its debug file,
# and TavrelC.dll, at most 1.5 MB, imports only the system's DLLs.
set -euo pipefail
dir=$1
scripts=$(cd "$(dirname "$0")" && pwd)
cd "$dir"
fail() { echo "check-sdk: $*" >&2; exit 1; }

sha256sum -c --quiet SHA256SUMS || fail "a checksum does not match"
listed=$(sed 's/^[0-9a-f]*  //' SHA256SUMS | LC_ALL=C sort)
present=$(find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort)
[ "$listed" = "$present" ] || fail "SHA256SUMS does not list exactly the files present"

for file in TavrelConfig.cmake TavrelConfigVersion.cmake README.txt \
    bindings/go/tavrel/go.mod bindings/go/tavrel/tavrel.go \
    bindings/rust/tavrel/Cargo.toml bindings/rust/tavrel/src/lib.rs; do
    [ -f "$file" ] || fail "missing $file"
done

# The machine field of a PE file's header.
pe_machine() {
    local pe
    pe=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -t x2 -j $((pe + 4)) -N 2 "$1" | tr -d ' '
}

for arch in x86 x64; do
    for file in bin/TavrelC.dll bin/Tavrel.dll bin/afx.dll lib/TavrelC.lib lib/TavrelC.def \
        lib/Tavrel.lib include/tavrel_c.h include/Tavrel.h lib/cmake/Tavrel/TavrelConfig.cmake; do
        [ -f "$arch/$file" ] || fail "missing $arch/$file"
    done
    want=8664
    [ $arch = x86 ] && want=014c
    for dll in "$arch"/bin/*.dll; do
        [ "$(pe_machine "$dll")" = "$want" ] || fail "$dll is not built for $arch"
        # Stripped: the debug information is in the debug archive, named here.
        sections=$(objdump -h "$dll")
        [[ "$sections" != *.debug_info* ]] || fail "$dll is not stripped"
        [[ "$sections" == *.gnu_debuglink* ]] || fail "$dll does not name its debug file"
    done
    # The C interface is one file: nothing but the system beside it.
    "$scripts/check-imports.sh" "$arch/bin/TavrelC.dll" >/dev/null ||
        fail "$arch/bin/TavrelC.dll needs more than the system's DLLs"
    size=$(stat -c %s "$arch/bin/TavrelC.dll")
    [ "$size" -le $((1536 * 1024)) ] || fail "$arch/bin/TavrelC.dll is $size bytes, over 1.5 MB"
done
echo "check-sdk: $dir: $(wc -l <SHA256SUMS) files, checksums hold, x86 and x64 complete"
