#!/usr/bin/env bash
# Builds the native fuzz targets (fuzz/: the suggestion reader, the charset
# functions, the UTF conversions, the search-URL builder, the engine-URL
# check, the picture header reader, the settings-file edit) into build/fuzz
# with clang,
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, and runs each
# for a bounded time, starting from its seed corpus in fuzz/corpus/<target>.
# Fails (non-zero) on any finding; prints each target's time, runs and
# corpus size. Installs nothing: it needs clang, libfuzzer-14-dev,
# nlohmann-json3-dev, cmake and ninja-build (./tavrel's ensure_packages).
#   TAVREL_FUZZ_SECONDS  total fuzzing time, shared by the targets (60 at most)
#   TAVREL_FUZZ_BUILD    the build folder (build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${TAVREL_FUZZ_BUILD:-$ROOT/build/fuzz}
TOTAL=${TAVREL_FUZZ_SECONDS:-60}
[ "$TOTAL" -le 60 ] 2>/dev/null || TOTAL=60
[ "$TOTAL" -ge 3 ] || TOTAL=3
# Each target's share of the time, in whole seconds: the reader takes most.
# libFuzzer needs about a second per target beyond -max_total_time to load
# its corpus and report, kept out of the shares so that the total holds.
TARGETS=(reader charset utf url engine_url picture ini)
SHARES=(40 8 8 10 8 13 13)
BUDGET=$((TOTAL - 2 * ${#TARGETS[@]}))
[ "$BUDGET" -ge ${#TARGETS[@]} ] || BUDGET=${#TARGETS[@]}

compiler=$(command -v clang++-14 || command -v clang++ || true)
missing=()
[ -n "$compiler" ] || missing+=("clang")
[ -f /usr/include/nlohmann/json.hpp ] || missing+=("nlohmann-json3-dev")
ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || missing+=("libfuzzer-14-dev")
command -v cmake >/dev/null || missing+=("cmake")
command -v ninja >/dev/null || missing+=("ninja-build")
if [ ${#missing[@]} -gt 0 ]; then
    echo "fuzz.sh: missing packages: ${missing[*]}" >&2
    exit 1
fi

if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT/fuzz" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
fi
cmake --build "$BUILD" --target "${TARGETS[@]/%/_fuzz}"

failed=0
summary=()
start_all=$(date +%s)
for i in "${!TARGETS[@]}"; do
    target=${TARGETS[$i]}
    seconds=$((BUDGET * SHARES[i] / 100))
    # Never past the total: what is left, less each remaining target's overhead.
    left=$((start_all + TOTAL - $(date +%s) - 2 * (${#TARGETS[@]} - i)))
    [ "$seconds" -le "$left" ] || seconds=$left
    [ "$seconds" -ge 1 ] || seconds=1
    work=$BUILD/corpus/$target        # grows from run to run; the seeds stay as committed
    artifacts=$BUILD/artifacts/$target
    mkdir -p "$work" "$artifacts"
    # A work corpus grown past a few thousand inputs takes seconds just to
    # load: start it again from the seeds.
    [ "$(find "$work" -type f | wc -l)" -le 8000 ] || find "$work" -type f -delete
    rm -f "$artifacts"/*
    log=$BUILD/$target.log
    started=$(date +%s%N)
    rc=0
    # -timeout: one input taking over 10 s is a finding; -rss_limit_mb: so is
    # using over 2 GiB. -max_len keeps inputs small enough to mutate quickly.
    "$BUILD/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$ROOT/fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
    took_ms=$((($(date +%s%N) - started) / 1000000))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    files=$(find "$work" -type f | wc -l)
    bytes=$(du -sb "$work" | cut -f1)
    seeds=$(find "$ROOT/fuzz/corpus/$target" -type f | wc -l)
    findings=$(find "$artifacts" -type f | wc -l)
    line=$(printf '%-10s %3d.%d s  %9s runs  corpus %4d files (%d bytes; %d seeds)' \
        "$target" $((took_ms / 1000)) $((took_ms % 1000 / 100)) "${runs:-?}" "$files" "$bytes" "$seeds")
    if [ "$rc" -ne 0 ] || [ "$findings" -ne 0 ]; then
        failed=1
        line="$line  FAILED (exit $rc, $findings finding(s) in ${artifacts#"$ROOT"/})"
        tail -40 "$log" >&2
    fi
    echo "$line"
    summary+=("$line")
done
echo "fuzzing took $(($(date +%s) - start_all)) s in all (limit ${TOTAL} s); logs in ${BUILD#"$ROOT"/}/*.log"
[ "$failed" -eq 0 ] && echo "fuzz: no findings" || echo "fuzz: FINDINGS" >&2
exit $failed
