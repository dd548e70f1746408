#!/usr/bin/env bash
# Runs the benchmark of one build folder under Wine and keeps its table in
# docs/benchmark.md: run-bench.sh x86|x64. `./tavrel bench` calls it after
# building, with Xvfb and the Wine server running and DISPLAY set. Each
# architecture's table replaces that architecture's previous one; the other
# architecture's table stays.
set -euo pipefail
arch=${1:?usage: run-bench.sh x86|x64}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${TAVREL_BUILD_ROOT:-build}/$arch
if [ "$arch" = x86 ]; then winearch=win32; else winearch=win64; fi
export TAVREL_WINEPREFIX=${TAVREL_WINEPREFIX:-$build/wineprefix}
doc=$root/docs/benchmark.md

winpath() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

table=$(mktemp --suffix=.md)
merged=$(mktemp --suffix=.md)
trap 'rm -f "$table" "$merged"' EXIT
"$root/scripts/wine-run.sh" "$winearch" "$build/bin/bar_benchmark.exe" "$(winpath "$table")"

# The table an architecture had in the document, between its markers.
block_of() {
    [ -f "$doc" ] || return 0
    awk -v a="$1" '$0 == "<!-- begin " a " -->" {on = 1; next}
                   $0 == "<!-- end " a " -->" {on = 0} on' "$doc"
}

{
    cat <<'INTRO'
# Benchmark

Written by `./tavrel bench` (scripts/run-bench.sh running bench/BarBenchmark.cpp)
on this project's Linux machine under Wine and Xvfb; do not edit by hand.
Times come from QueryPerformanceCounter and are medians over repeated runs.

- Bar paint: what the bar does on WM_PAINT, `Compose` into the back buffer
  with the layered update, for the 400 x 30 skin (background, icon, arrow,
  button). Under Wine it also puts the query field back above the bar.
- Naive paint: the same picture made by decoding every image file and
  drawing it with GDI+ on every paint, then the same layered update: the
  cost that decoding once into memory DCs avoids.
- Floor: the layered update alone, of a buffer already drawn.
- "vs naive paint" and "vs floor" divide the row's median by theirs.
- Key press: from SendInput of one key in the query field to the host
  window's UM_QUERY_CHANGED, through the edit control, the frame and the bar.
- Per bar: twenty bars made with the full skin, after twenty others (so that
  freed memory is not simply reused). GDI objects are counted as
  the headroom they take (the system is asked for objects until it refuses,
  before and after), because Wine's GetGuiResources answers 0.
INTRO
    for a in x86 x64; do
        if [ "$a" = "$arch" ]; then body=$(cat "$table"); else body=$(block_of "$a"); fi
        [ -n "$body" ] || continue
        printf '\n<!-- begin %s -->\n%s\n<!-- end %s -->\n' "$a" "$body" "$a"
    done
} >"$merged"
mkdir -p "$(dirname "$doc")"
cp "$merged" "$doc"
echo "benchmark table written to $doc"
