#!/usr/bin/env bash
# Builds the demo host against the installed SDK of one build folder and
# runs it under Wine: run-demo.sh x86|x64 [--interactive] [DEMO OPTIONS].
#   (no option)       the scripted tour; screenshots and log in out/demo/ARCH,
#                     and the idle bar once more on a 200% screen (192 DPI)
#   --interactive     an ordinary window on $DISPLAY instead of the script
#   --skin DIR        preview a skin folder (missing pictures: default skin)
#   --engines FILE    register the engines of an INI file
#   --script DIR      write the scripted tour's files to DIR instead
#   --open            let the real browser open the search URL
# Linux paths are handed to the program as Wine sees them (drive Z:).
# `./tavrel demo` calls this after starting Xvfb and the Wine server.
set -euo pipefail
usage="usage: run-demo.sh x86|x64 [--interactive] [--skin DIR] [--engines FILE] [--script DIR] [--open]"
arch=${1:?$usage}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${TAVREL_BUILD_ROOT:-build}/$arch
if [ "$arch" = x86 ]; then
    toolchain=$root/cmake/toolchain-i686.cmake winearch=win32
else
    toolchain=$root/cmake/toolchain-x86_64.cmake winearch=win64
fi
# The build folder's prefix, also for the skin generator run by the build.
export TAVREL_WINEPREFIX=${TAVREL_WINEPREFIX:-$build/wineprefix}

# Runs a build step quietly; its output is shown only when it fails.
quiet() {
    local output
    if ! output=$("$@" 2>&1); then
        printf '%s\n' "$output" >&2
        return 1
    fi
}

winpath() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

interactive=0 script_dir= args=()
while [ $# -gt 0 ]; do
    case $1 in
    --interactive) interactive=1 ;;
    --skin | --engines | --script)
        [ $# -ge 2 ] || { echo "$1 needs a value; $usage" >&2; exit 2; }
        if [ "$1" = --script ]; then script_dir=$(realpath -m "$2"); else args+=("$1" "$(winpath "$2")"); fi
        shift ;;
    *) args+=("$1") ;;
    esac
    shift
done
demo=$build/demo
user_args=("${args[@]}")
if [ $interactive = 0 ]; then
    script_dir=${script_dir:-$root/out/demo/$arch}
    mkdir -p "$script_dir"
    args+=(--script "$(winpath "$script_dir")")
fi

# x86 may be built on this machine and run in the emulated guest, which has
# no compiler: TAVREL_DEMO_BUILD_ONLY=1 builds (without drawing the skin,
# which needs x86 to run), TAVREL_DEMO_PREBUILT=1 draws the skin and runs.
if [ -z "${TAVREL_DEMO_PREBUILT:-}" ]; then
    draw_skin=ON
    [ -n "${TAVREL_DEMO_BUILD_ONLY:-}" ] && draw_skin=OFF
    # The library and its SDK: build what is missing, then install.
    if [ ! -f "$build/build.ninja" ]; then
        quiet cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    fi
    quiet cmake --build "$build" --target sdk
    quiet cmake --install "$build" --prefix "$build/sdk"
    # The demo, built as a user's program is: against the SDK alone.
    quiet cmake -S "$root/demo" -B "$demo" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$build/sdk" \
        -DTAVREL_DEMO_DRAW_SKIN=$draw_skin
    quiet cmake --build "$demo"
    if [ -n "${TAVREL_DEMO_BUILD_ONLY:-}" ]; then
        echo "demo $arch built in ${demo#"$root"/}"
        exit 0
    fi
elif [ "$demo/bin/tavrel_skin_generator.exe" -nt "$demo/bin/skin-dark/bar.png" ]; then
    mkdir -p "$demo/bin/skin" "$demo/bin/skin-dark"
    (cd "$demo/bin/skin" && quiet "$root/scripts/wine-run.sh" "$winearch" ../tavrel_skin_generator.exe .)
    (cd "$demo/bin/skin-dark" &&
        quiet "$root/scripts/wine-run.sh" "$winearch" ../tavrel_skin_generator.exe . --theme dark)
fi

# The tour starts on the default engine, as on a fresh machine: the engine a
# run before chose, kept in the prefix's demo.ini, is forgotten.
if [ $interactive = 0 ]; then
    for prefix in "$TAVREL_WINEPREFIX" "$TAVREL_WINEPREFIX-dpi192"; do
        rm -f "$prefix"/drive_c/users/*/AppData/Roaming/Tavrel/demo.ini
    done
fi
set +e
"$root/scripts/wine-run.sh" "$winearch" "$demo/bin/tavrel_demo.exe" "${args[@]}"
rc=$?
set -e
# The bar at 200%: the demo once more, in a prefix whose screen has 192 DPI,
# stopped after its first screenshot; that one and its log go beside the rest.
if [ $interactive = 0 ] && [ $rc = 0 ]; then
    shot_dir=$(mktemp -d)
    rm -f "$script_dir/09-idle-200-percent.png" "$script_dir/demo-log-200-percent.txt"
    set +e
    "$root/scripts/wine-run-dpi.sh" 192 "$winearch" "$demo/bin/tavrel_demo.exe" "${user_args[@]}" \
        --script "$(winpath "$shot_dir")" --idle-only
    rc=$?
    set -e
    mv -f "$shot_dir/01-idle.png" "$script_dir/09-idle-200-percent.png" 2>/dev/null || rc=1
    mv -f "$shot_dir/demo-log.txt" "$script_dir/demo-log-200-percent.txt" 2>/dev/null || true
    rm -rf "$shot_dir"
fi
if [ $interactive = 0 ]; then
    echo "demo $arch: screenshots, log and recorded URL in ${script_dir#"$root"/}/"
    ls "$script_dir"
fi
exit $rc
