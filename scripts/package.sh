#!/usr/bin/env bash
# Writes the SDK archives from the installs of both build folders:
# package.sh X86_BUILD X64_BUILD OUT_DIR. Gives out/Tavrel-<version>-sdk.zip
# holding Tavrel-<version>-sdk/ with x86/ and x64/ (bin, lib, include), the
# two-architecture CMake package, the bindings, README.txt and SHA256SUMS,
# and out/Tavrel-<version>-sdk-debug.zip with the debug information of every
# DLL of bin/ (<dll>.debug, in the same folders: unpacked over the SDK, each
# lands beside its DLL). Prints the SDK archive's path.
#
# Two runs on the same commit give the same bytes, wherever the clone is and
# whenever it runs: every file and folder takes the last commit's time, every
# file one mode, the entries are sorted, and zip keeps no owner or extra time.
set -euo pipefail
x86_build=$1 x64_build=$2
out=$(mkdir -p "$3" && cd "$3" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x64_build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $x64_build" >&2; exit 1; }
name=Tavrel-$version-sdk
stage=$(dirname "$x64_build")/package
top=$stage/$name
debug_top=$stage/debug/$name

rm -rf "$stage"
mkdir -p "$top/bindings" "$debug_top" "$out"
for arch in x86 x64; do
    build=${x86_build}
    [ "$arch" = x64 ] && build=$x64_build
    cmake --install "$build" --prefix "$top/$arch" >/dev/null
    mkdir -p "$debug_top/$arch/bin"
    mv "$top/$arch"/bin/*.debug "$debug_top/$arch/bin/"
done
cp "$x64_build"/sdk-top/TavrelConfig.cmake "$x64_build"/sdk-top/TavrelConfigVersion.cmake "$top/"
# The bindings' sources, without what a build may have left beside them.
cp -r "$root/bindings/." "$top/bindings/"
find "$top/bindings" \( -name target -o -name Cargo.lock \) -prune -exec rm -rf {} +
sed "s/@VERSION@/$version/" "$root/scripts/sdk/README.txt" >"$top/README.txt"
checksums() {
    (cd "$1" && find . -type f ! -name SHA256SUMS | LC_ALL=C sort | sed 's|^\./||' |
        xargs -d '\n' sha256sum >SHA256SUMS)
}
checksums "$top"
checksums "$debug_top"

# The last commit's time (a tree outside git: 1980-01-01, zip's first day).
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)
# zip_folder FOLDER_PARENT NAME ZIP: NAME (a folder of FOLDER_PARENT) into ZIP.
zip_folder() {
    local parent=$1 folder=$2 zip=$3
    find "$parent/$folder" -type d -exec chmod 755 {} +
    find "$parent/$folder" -type f -exec chmod 644 {} +
    find "$parent/$folder" -exec touch -h -d "@$epoch" {} +
    rm -f "$zip"
    (cd "$parent" && find "$folder" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip")
}
zip_folder "$stage" "$name" "$out/$name.zip"
zip_folder "$stage/debug" "$name" "$out/$name-debug.zip"
echo "$out/$name.zip"
