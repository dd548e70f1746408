#!/usr/bin/env bash
# Builds host programs against the unpacked SDK archive and runs them:
# sdk-host-test.sh BUILD_DIR TOOLCHAIN WINEARCH [HOST]. HOST is a folder of
# tests/: readme_host (the README's C host, which must be the README's text),
# sdk_host (C++, Tavrel::Tavrel), c_host (C, Tavrel::C), msvc_host
# (the C host's source as C++ for the other Windows C++ ABI), go_host (Go,
# the Go bindings) or rust_host (Rust, the Rust crate; x64 only); without
# it, every one of them for the architecture.
# The SDK is the archive that `./tavrel package` wrote, unpacked by
# `./tavrel test` beside the build folders (TAVREL_SDK_DIR overrides), so
# that what is shipped is what is tested.
# The build needs the compilers and the run needs Wine, and for x86 the
# two may happen on different machines (the run inside the emulated guest):
#   TAVREL_NO_RUN=1        build only
#   TAVREL_SDK_PREBUILT=1  run what an earlier call built, build nothing
set -euo pipefail
build=$1 toolchain=$2 winearch=$3
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$winearch" = win32 ]; then
    arch=x86 hosts=(readme_host sdk_host c_host msvc_host go_host)
else
    arch=x64 hosts=(readme_host sdk_host c_host msvc_host go_host rust_host)
fi
[ $# -ge 4 ] && hosts=("$4")
# The unpacked archive (needed to build; a prebuilt run needs only the hosts).
find_sdk() {
    sdk=${TAVREL_SDK_DIR:-}
    if [ -z "$sdk" ]; then
        for sdk in "$build"/../sdk-unpacked/Tavrel-*-sdk; do :; done
    fi
    if [ ! -f "$sdk/TavrelConfig.cmake" ]; then
        echo "no unpacked SDK archive at ${sdk}: run ./tavrel test (or unzip ./tavrel package's archive" \
            "and name it in TAVREL_SDK_DIR)" >&2
        exit 1
    fi
    sdk=$(cd "$sdk" && pwd)
}

# CMake finds the package at the archive's top, which picks $arch.
build_cmake_host() {
    local host=$1 host_build=$build/$1
    rm -rf "$host_build"
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
    if [ "$arch" = x86 ]; then
        triple=i686 arch_flags=(-D_X86_) machine=(/machine:x86 /safeseh:no)
    else
        triple=x86_64 arch_flags=() machine=(/machine:x64)
    fi
    local mingw=/usr/$triple-w64-mingw32
    local flags=(--target="$triple-pc-windows-msvc" "${arch_flags[@]}" -fgnuc-version=12 -std=c++17
                 -O2 -Wall -Wextra -Werror -fno-exceptions -fno-rtti -isystem "$mingw/include"
                 -I "$sdk/$arch/include")
    mkdir -p "$out"
    clang++ "${flags[@]}" -x c++ -c "$root/tests/c_host/main.c" -o "$out/main.obj"
    clang++ "${flags[@]}" -fno-builtin -c "$root/tests/msvc_host/Startup.cpp" -o "$out/Startup.obj"
    lld-link /nologo "${machine[@]}" /entry:mainCRTStartup /subsystem:console /nodefaultlib \
        /out:"$out/msvc_host.exe" "$out/main.obj" "$out/Startup.obj" "$sdk/$arch/lib/TavrelC.lib" \
        "$mingw"/lib/lib{kernel32,user32,advapi32,shell32}.a
}

# Debian's Go, offline, with its caches in the build folder; the host's
# module is copied there and pointed at the archive's Go package.
build_go_host() {
    local out=$build/go_host goarch=amd64
    [ "$arch" = x86 ] && goarch=386
    rm -rf "$out/src"
    mkdir -p "$out/src"
    cp "$root"/tests/go_host/*.go "$root"/tests/go_host/go.mod "$out/src/"
    (
        cd "$out/src"
        export GOOS=windows GOARCH=$goarch CGO_ENABLED=0 GOFLAGS=-mod=mod GOPROXY=off
        export GOCACHE=$build/go/cache GOPATH=$build/go/path
        /usr/bin/go mod edit -replace "tavrel=$sdk/bindings/go/tavrel"
        /usr/bin/go vet . "$sdk/bindings/go/tavrel"
        /usr/bin/go build -o "$out/go_host.exe" .
    )
}

# Debian's rustc and cargo (by full path: a toolchain of another origin may
# come first on PATH), offline, linking the archive's import library with
# MinGW-w64's gcc; Debian's Windows standard library is x86_64 only.
build_rust_host() {
    local out=$build/rust_host
    rm -rf "$out/src"
    mkdir -p "$out/src"
    cp -r "$root"/tests/rust_host/. "$out/src/"
    sed -i "s|path = \"[^\"]*bindings/rust/tavrel\"|path = \"$sdk/bindings/rust/tavrel\"|" \
        "$out/src/Cargo.toml"
    (
        cd "$out/src"
        export CARGO_HOME=$build/cargo-home CARGO_TARGET_DIR=$out/target RUSTC=/usr/bin/rustc
        export TAVREL_LIB_DIR=$sdk/x64/lib RUSTFLAGS="-D warnings"
        export CARGO_TARGET_X86_64_PC_WINDOWS_GNU_LINKER=x86_64-w64-mingw32-gcc-posix
        /usr/bin/cargo build --offline --release --quiet --target x86_64-pc-windows-gnu
    )
    cp "$out/target/x86_64-pc-windows-gnu/release/rust_host.exe" "$out/"
}

# The README shows tests/readme_host/main.c whole, in the block after the
# line "<!-- tests/readme_host/main.c -->".
check_readme_copy() {
    local shown
    shown=$(sed -n '/^<!-- tests\/readme_host\/main.c -->$/,/^```$/p' "$root/README.md" | sed '1,2d;$d')
    if [ "$shown" != "$(cat "$root/tests/readme_host/main.c")" ]; then
        echo "README.md's C host is not tests/readme_host/main.c" >&2
        return 1
    fi
}

if [ -z "${TAVREL_SDK_PREBUILT:-}" ]; then
    find_sdk
    for host in "${hosts[@]}"; do
        case $host in
        msvc_host) build_msvc_host ;;
        go_host) build_go_host ;;
        rust_host) build_rust_host ;;
        readme_host) check_readme_copy && build_cmake_host "$host" &&
            cp -r "$root/tests/readme_host/skin" "$build/$host/" ;;
        *) build_cmake_host "$host" ;;
        esac
        # The host finds its DLLs beside it, as a user's program would: a C++
        # host the library's, the framework's and the C++ runtime's, a host
        # of the C interface that one file alone.
        rm -f "$build/$host"/*.dll
        if [ "$host" = sdk_host ]; then
            cp "$sdk/$arch"/bin/*.dll "$build/$host/"
        else
            cp "$sdk/$arch/bin/TavrelC.dll" "$build/$host/"
            "$root/scripts/check-imports.sh" --also TavrelC.dll "$build/$host/$host.exe" \
                "$build/$host/TavrelC.dll"
        fi
    done
fi
if [ -n "${TAVREL_NO_RUN:-}" ]; then
    for host in "${hosts[@]}"; do
        echo "host program built against the SDK archive: $build/$host/$host.exe"
    done
    exit 0
fi
failed=0
for host in "${hosts[@]}"; do
    # The README's host finds its skin in the current folder, and closes itself after 2 s.
    args=()
    [ "$host" = readme_host ] && args=(2000)
    (cd "$build/$host" &&
        TAVREL_WINEPREFIX=${TAVREL_WINEPREFIX:-$build/wineprefix} "$root/scripts/wine-run.sh" \
            "$winearch" "$build/$host/$host.exe" "${args[@]}") || failed=1
done
exit $failed
