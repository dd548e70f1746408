#!/usr/bin/env bash
# Installs the SDK of one build folder and builds and runs host programs
# against it: sdk-host-test.sh BUILD_DIR TOOLCHAIN WINEARCH [HOST]. HOST is
# a folder of tests/: sdk_host (C++, Tavrel::Tavrel) or c_host (C,
# Tavrel::C); without it, both.
# The build needs the cross compiler and the run needs Wine, and for x86 the
# two may happen on different machines (the run inside the emulated guest):
#   TAVREL_NO_RUN=1        install and build only
#   TAVREL_SDK_PREBUILT=1  run what an earlier call built, build nothing
set -euo pipefail
build=$1 toolchain=$2 winearch=$3
hosts=(sdk_host c_host)
[ $# -ge 4 ] && hosts=("$4")
root=$(cd "$(dirname "$0")/.." && pwd)
sdk=$build/sdk

build_host() {
    local host=$1 host_build=$build/$1
    cmake -S "$root/tests/$host" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$sdk" >/dev/null
    cmake --build "$host_build" >/dev/null
    # The host finds its DLLs beside it, as a user's program would.
    cp "$sdk"/bin/*.dll "$host_build/"
}

if [ -z "${TAVREL_SDK_PREBUILT:-}" ]; then
    cmake --install "$build" --prefix "$sdk" >/dev/null
    for host in "${hosts[@]}"; do build_host "$host"; done
fi
if [ -n "${TAVREL_NO_RUN:-}" ]; then
    for host in "${hosts[@]}"; do
        echo "SDK installed in $sdk; host program built against it: $build/$host/$host.exe"
    done
    exit 0
fi
failed=0
for host in "${hosts[@]}"; do
    TAVREL_WINEPREFIX=${TAVREL_WINEPREFIX:-$build/wineprefix} "$root/scripts/wine-run.sh" "$winearch" \
        "$build/$host/$host.exe" || failed=1
done
exit $failed
