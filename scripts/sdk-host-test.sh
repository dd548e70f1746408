#!/usr/bin/env bash
# Installs the SDK of one build folder and builds and runs the host program
# of tests/sdk_host against it: sdk-host-test.sh BUILD_DIR TOOLCHAIN WINEARCH.
set -euo pipefail
build=$1 toolchain=$2 winearch=$3
root=$(cd "$(dirname "$0")/.." && pwd)
sdk=$build/sdk
cmake --install "$build" --prefix "$sdk" >/dev/null
host_build=$build/sdk_host
cmake -S "$root/tests/sdk_host" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$sdk" >/dev/null
cmake --build "$host_build" >/dev/null
if [ -n "${TAVREL_NO_RUN:-}" ]; then
    echo "SDK installed in $sdk; host program built against it: $host_build/sdk_host.exe"
    exit 0
fi
# The host finds its DLLs beside it, as a user's program would.
cp "$sdk"/bin/*.dll "$host_build/"
TAVREL_WINEPREFIX="$build/wineprefix" "$root/scripts/wine-run.sh" "$winearch" "$host_build/sdk_host.exe"
