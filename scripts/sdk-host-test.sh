#!/usr/bin/env bash
# Installs the SDK of one build folder and builds and runs the host program
# of tests/sdk_host against it: sdk-host-test.sh BUILD_DIR TOOLCHAIN WINEARCH.
# The build needs the cross compiler and the run needs Wine, and for x86 the
# two may happen on different machines (the run inside the emulated guest):
#   TAVREL_NO_RUN=1        install and build only
#   TAVREL_SDK_PREBUILT=1  run what an earlier call built, build nothing
set -euo pipefail
build=$1 toolchain=$2 winearch=$3
root=$(cd "$(dirname "$0")/.." && pwd)
sdk=$build/sdk
host_build=$build/sdk_host

build_host() {
    cmake --install "$build" --prefix "$sdk" >/dev/null
    cmake -S "$root/tests/sdk_host" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$sdk" >/dev/null
    cmake --build "$host_build" >/dev/null
    # The host finds its DLLs beside it, as a user's program would.
    cp "$sdk"/bin/*.dll "$host_build/"
}

if [ -z "${TAVREL_SDK_PREBUILT:-}" ]; then
    build_host
fi
if [ -n "${TAVREL_NO_RUN:-}" ]; then
    echo "SDK installed in $sdk; host program built against it: $host_build/sdk_host.exe"
    exit 0
fi
TAVREL_WINEPREFIX=${TAVREL_WINEPREFIX:-$build/wineprefix} "$root/scripts/wine-run.sh" "$winearch" "$host_build/sdk_host.exe"
