#!/usr/bin/env bash
# Runs the benchmark of one build folder under Wine and keeps its table in
# docs/benchmark.md: run-bench.sh x86|x64. `./tavrel bench` calls it after
# building, with Xvfb and the Wine server running and DISPLAY set. Each
# architecture's table replaces that architecture's previous one; the other
# architecture's table and the notes block stay.
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

# The machine behind the figures: CPU model and count, and the Wine used.
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
export TAVREL_BENCH_MACHINE="${TAVREL_BENCH_MACHINE:-${cpu:-unknown CPU}, $(nproc) cores, $(wine --version 2>/dev/null || echo 'wine: version unknown')}"
# Inside the x86 guest every figure is slowed by the emulation: such rows
# compare only as ratios within the same run.
if [ -n "${TAVREL_EMULATED:-}" ]; then
    TAVREL_BENCH_MACHINE="emulated (Debian 12 guest under qemu software emulation): $TAVREL_BENCH_MACHINE"
fi

# Under Wine most window calls are round trips to the Wine server process.
# On this project's virtual machines, waking the server on the other CPU
# costs several times the call itself (about 45 us a round trip, against 8
# on one CPU), and how often that happens moves every median by a factor of
# two between runs, ours and the native peers' alike. So the server and the
# program share one CPU, and the machine line says so; TAVREL_BENCH_PIN=0
# leaves them free.
pin=()
if [ "${TAVREL_BENCH_PIN:-1}" != 0 ] && command -v taskset >/dev/null; then
    pin=(taskset -c "$(($(nproc) - 1))")
    WINEPREFIX=$TAVREL_WINEPREFIX wineserver -k 2>/dev/null || true
    WINEPREFIX=$TAVREL_WINEPREFIX wineserver -w 2>/dev/null || true
    WINEPREFIX=$TAVREL_WINEPREFIX WINEARCH=$winearch "${pin[@]}" wineserver -p
    TAVREL_BENCH_MACHINE="$TAVREL_BENCH_MACHINE; the program and the Wine server on one CPU"
fi

table=$(mktemp --suffix=.md)
merged=$(mktemp --suffix=.md)
trap 'rm -f "$table" "$merged"' EXIT
"${pin[@]}" "$root/scripts/wine-run.sh" "$winearch" "$build/bin/bar_benchmark.exe" "$(winpath "$table")"

# Loading the C interface, in a new process each run (bench/LoadProbe.c):
# the SDK's one TavrelC.dll against the earlier layout of six DLLs, in
# alternation, and then bars created and destroyed in one process.
probe() {
    "${pin[@]}" "$root/scripts/wine-run.sh" "$winearch" "$build/bench/$1/load_probe.exe" \
        "$(winpath "$root/tests/readme_host/skin")" "${@:2}" | tr -d '\r'
}
value_of() { sed -n "s/^$1 //p"; }
median_and_spread() {
    LC_ALL=C sort -g | awk '{v[NR] = $1} END {printf "%.3f ms | %.3f - %.3f", v[int((NR + 1) / 2)], v[1], v[NR]}'
}
modules_of() {
    awk '$1 == "module" && $2 ~ /\.dll$/ {n++; bytes += $3; names = names (names ? ", " : "") $2}
         END {printf "%d DLL%s, %.1f MB: %s", n, n == 1 ? "" : "s", bytes / 1048576, names}'
}
load_rows() {
    local runs=11 one=() shared=() one_out shared_out cycles_out i
    for i in $(seq "$runs"); do
        one_out=$(probe one-file)
        shared_out=$(probe shared-runtime --preload Tavrel.dll)
        one+=("$(value_of first_paint_ms <<<"$one_out")")
        shared+=("$(value_of first_paint_ms <<<"$shared_out")")
    done
    cycles_out=$(probe one-file --cycles 1000)
    local one_median shared_median
    one_median=$(printf '%s\n' "${one[@]}" | LC_ALL=C sort -g | sed -n "$(((runs + 1) / 2))p")
    shared_median=$(printf '%s\n' "${shared[@]}" | LC_ALL=C sort -g | sed -n "$(((runs + 1) / 2))p")
    printf '\n| Arch | Loading the C interface (a new process each run, %d runs each) | Median | Spread (ms) | Ratio |\n' "$runs"
    printf '|---|---|---|---|---|\n'
    printf '| %s | LoadLibrary("TavrelC.dll") through TavrelStartup to the first painted bar: one file (%s) | %s | 1 x one file |\n' \
        "$arch" "$(modules_of <<<"$one_out")" "$(printf '%s\n' "${one[@]}" | median_and_spread)"
    printf '| %s | The same in the earlier layout (%s) | %s | %s x one file |\n' \
        "$arch" "$(modules_of <<<"$shared_out")" "$(printf '%s\n' "${shared[@]}" | median_and_spread)" \
        "$(awk -v a="$shared_median" -v b="$one_median" 'BEGIN {printf "%.2f", a / b}')"
    printf '\n| Arch | Bars created and destroyed in one process (1,000; the last 900 measured) | Value |\n'
    printf '|---|---|---|\n'
    printf '| %s | TavrelCreate, skin, show, first paint and TavrelDestroyBar, per bar | %s ms |\n' \
        "$arch" "$(value_of cycle_ms <<<"$cycles_out")"
    printf '| %s | Left behind: heap bytes, GDI objects, windows, threads | %s, %s, %s, %s |\n' "$arch" \
        "$(value_of left_heap_bytes <<<"$cycles_out")" "$(value_of left_gdi_objects <<<"$cycles_out")" \
        "$(value_of left_windows <<<"$cycles_out")" "$(value_of left_threads <<<"$cycles_out")"
}
load_rows >>"$table"
cat "$table" | tail -n 12

# The table an architecture had in the document, between its markers.
block_of() {
    [ -f "$doc" ] || return 0
    awk -v a="$1" '$0 == "<!-- begin " a " -->" {on = 1; next}
                   $0 == "<!-- end " a " -->" {on = 0} on' "$doc"
}

{
    cat <<'INTRO'
# Benchmark

The tables are written by `./tavrel bench` (scripts/run-bench.sh running
bench/BarBenchmark.cpp) on this project's Linux machine under Wine and Xvfb;
do not edit them by hand. The notes at the end (where the time goes) are
written by hand and kept by the script. Times come from
QueryPerformanceCounter and are medians over repeated runs.

- Bar paint: what the bar does on WM_PAINT, `Compose` into the back buffer
  with the layered update, for the 400 x 30 skin (background, icon, arrow,
  button). Under Wine it also puts the query field back above the bar when
  something lies over it.
- Bar paint, right to left: the same bar laid out mirrored
  (TavrelSetLayoutDirection), against a floor of its own timed beside it.
- Naive paint: the same picture made by decoding every image file and
  drawing it with GDI+ on every paint, then the same layered update.
- Floor: the layered update alone, of a buffer already drawn, timed in
  alternation with the bar paint.
- Key press: from SendInput of one key in the query field to the host
  window's UM_QUERY_CHANGED, through the edit control, the frame and the bar.
- Keystroke round trip: from SendInput of one key until the suggestion list
  is repainted with the host's answer (the host answers UM_QUERY_CHANGED at
  once: ClearSuggestions, 11 AddSuggestion, ShowSuggestions). Its native
  peer: a key in a plain EDIT whose EN_CHANGE refills a LISTBOX popup of the
  list's size (hide, LB_RESETCONTENT, 11 LB_ADDSTRING, show), until painted;
  and the shell's autocomplete drop-down (IAutoComplete2 with ACO_AUTOSUGGEST
  over an IEnumString of 11 strings), until its drop-down is painted.
- Fill and show: the host's answer called directly, to the list's paint,
  against the same LISTBOX popup. Ours and the native peers are measured in
  alternation, so that both see the same load.
- Per bar: twenty bars made with the full skin, after twenty others (so that
  freed memory is not simply reused), in a child process of their own. GDI
  objects are counted as the headroom they take (the system is asked for
  objects until it refuses, before and after), because Wine's
  GetGuiResources answers 0.
- Live suggestions: a loopback HTTP server in the benchmark itself
  (demo/app/CSuggestionServer.cpp) answers the bar's suggestion URL with 11
  rows. From the moment it has sent the answer's last byte to the bar's
  thread taking the fetcher's message (WinHTTP's read on the worker, the
  JSON read, the post), and to the list painted with the rows (the same
  fill and show as the host's own answer above). Per keystroke: the time
  the host thread spends handling messages (waiting excluded) from the key
  press to the host's UM_QUERY_CHANGED and the key's release, with and
  without a suggestion URL, in alternation; and what the end of the pause
  in typing costs it once per request (the URL built, the worker started).
- Loading the C interface: bench/LoadProbe.c, a C program started anew for
  each run, loads TavrelC.dll from its own folder with LoadLibrary, calls
  TavrelStartup and shows a bar with a three-picture skin, until the bar's
  first WM_PAINT is dispatched; it lists the DLLs it loaded from its folder
  and their size on disk. The one file of the SDK against the earlier
  layout, rebuilt by the benchmark: a TavrelC.dll over afx.dll and the
  compiler's runtime DLLs as they come, with Tavrel.dll loaded first, as
  the earlier TavrelC.dll imported it. Then, in one process, 1,000 bars
  made (skin, shown, painted) and destroyed with TavrelDestroyBar: the time
  per bar over the last 900, and what they left behind (heap bytes as
  HeapWalk counts them, GDI headroom, the thread's windows, threads).
- The program and its Wine server run on one CPU (see the machine line):
  under Wine most window calls are round trips to that server, and on this
  project's virtual machines a round trip that wakes the other CPU costs
  about five times one that stays (45 against 8 microseconds), which moved
  every median by a factor of two between runs. TAVREL_BENCH_PIN=0 runs
  them unpinned.
- The machine is shared: compare figures only within one run, and emulated
  architectures only as ratios.
INTRO
    # The notes below the tables (the profile) are kept as they are.
    for a in x86 x64 notes; do
        if [ "$a" = "$arch" ]; then body=$(cat "$table"); else body=$(block_of "$a"); fi
        [ -n "$body" ] || continue
        printf '\n<!-- begin %s -->\n%s\n<!-- end %s -->\n' "$a" "$body" "$a"
    done
} >"$merged"
mkdir -p "$(dirname "$doc")"
cp "$merged" "$doc"
echo "benchmark table written to $doc"
