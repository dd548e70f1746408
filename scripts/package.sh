#!/usr/bin/env bash
# Writes the SDK archive from the installs of both build folders:
# package.sh X86_BUILD X64_BUILD OUT_DIR. Gives out/Tavrel-<version>-sdk.zip
# holding Tavrel-<version>-sdk/ with x86/ and x64/ (bin, lib, include), the
# two-architecture CMake package, the bindings, README.txt and SHA256SUMS,
# and prints the archive's path.
set -euo pipefail
x86_build=$1 x64_build=$2 out=$3
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x64_build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $x64_build" >&2; exit 1; }
name=Tavrel-$version-sdk
stage=$(dirname "$x64_build")/package
top=$stage/$name

rm -rf "$stage"
mkdir -p "$top/bindings" "$out"
for arch in x86 x64; do
    build=${x86_build}
    [ "$arch" = x64 ] && build=$x64_build
    cmake --install "$build" --prefix "$top/$arch" >/dev/null
done
cp "$x64_build"/sdk-top/TavrelConfig.cmake "$x64_build"/sdk-top/TavrelConfigVersion.cmake "$top/"
# The bindings' sources, without what a build may have left beside them.
cp -r "$root/bindings/." "$top/bindings/"
find "$top/bindings" \( -name target -o -name Cargo.lock \) -prune -exec rm -rf {} +
sed "s/@VERSION@/$version/" "$root/scripts/sdk/README.txt" >"$top/README.txt"
(cd "$top" && find . -type f ! -name SHA256SUMS | LC_ALL=C sort | sed 's|^\./||' |
    xargs -d '\n' sha256sum >SHA256SUMS)
rm -f "$out/$name.zip"
(cd "$stage" && zip -q -r -X "$out/$name.zip" "$name")
echo "$out/$name.zip"
