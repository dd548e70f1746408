#!/usr/bin/env bash
# Installs the SDK of one build folder and builds and runs host programs
# against it: sdk-host-test.sh BUILD_DIR TOOLCHAIN WINEARCH [HOST]. HOST is
# a folder of tests/: sdk_host (C++, Tavrel::Tavrel), c_host (C, Tavrel::C)
# or msvc_host (the C host's source as C++ for the other Windows C++ ABI);
# without it, all three.
# The build needs the compilers and the run needs Wine, and for x86 the
# two may happen on different machines (the run inside the emulated guest):
#   TAVREL_NO_RUN=1        install and build only
#   TAVREL_SDK_PREBUILT=1  run what an earlier call built, build nothing
set -euo pipefail
build=$1 toolchain=$2 winearch=$3
hosts=(sdk_host c_host msvc_host)
[ $# -ge 4 ] && hosts=("$4")
root=$(cd "$(dirname "$0")/.." && pwd)
sdk=$build/sdk

build_cmake_host() {
    local host=$1 host_build=$build/$1
    cmake -S "$root/tests/$host" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$sdk" >/dev/null
    cmake --build "$host_build" >/dev/null
}

# clang for *-pc-windows-msvc and lld-link, with no C runtime at all: only
# the SDK's import library and MinGW-w64's headers and Win32 import
# libraries. The headers want to see GCC (for their inline code) and, on
# x86, the _X86_ that MinGW's compiler predefines.
build_msvc_host() {
    local out=$build/msvc_host triple arch_flags machine
    if [ "$winearch" = win32 ]; then
        triple=i686 arch_flags=(-D_X86_) machine=(/machine:x86 /safeseh:no)
    else
        triple=x86_64 arch_flags=() machine=(/machine:x64)
    fi
    local mingw=/usr/$triple-w64-mingw32
    local flags=(--target="$triple-pc-windows-msvc" "${arch_flags[@]}" -fgnuc-version=12 -std=c++17
                 -O2 -Wall -Wextra -Werror -fno-exceptions -fno-rtti -isystem "$mingw/include"
                 -I "$sdk/include")
    mkdir -p "$out"
    clang++ "${flags[@]}" -x c++ -c "$root/tests/c_host/main.c" -o "$out/main.obj"
    clang++ "${flags[@]}" -fno-builtin -c "$root/tests/msvc_host/Startup.cpp" -o "$out/Startup.obj"
    lld-link /nologo "${machine[@]}" /entry:mainCRTStartup /subsystem:console /nodefaultlib \
        /out:"$out/msvc_host.exe" "$out/main.obj" "$out/Startup.obj" "$sdk/lib/TavrelC.lib" \
        "$mingw"/lib/lib{kernel32,user32,advapi32,shell32}.a
}

if [ -z "${TAVREL_SDK_PREBUILT:-}" ]; then
    cmake --build "$build" --target sdk >/dev/null
    cmake --install "$build" --prefix "$sdk" >/dev/null
    for host in "${hosts[@]}"; do
        if [ "$host" = msvc_host ]; then build_msvc_host; else build_cmake_host "$host"; fi
        # The host finds its DLLs beside it, as a user's program would.
        cp "$sdk"/bin/*.dll "$build/$host/"
    done
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
