#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer, LeakSanitizer) and fuzzes each in turn.
#   fuzz/run.sh [SECONDS] [JOBS] [TARGET...]
# Default: 60 seconds for each target, 2 parallel jobs, all targets:
#   fuzz_run        whole runs of the tool (seeds in fuzz/corpus and
#                   tests/fuzz-regressions)
#   fuzz_reference  the reference table against plain stepping (seeds in
#                   fuzz/corpus-reference)
#   fuzz_recording  the recording reader, whole and piecewise (seeds in
#                   fuzz/corpus-recording)
#   fuzz_measure    the measurement from bytes to its line, from memory and
#                   through a pipe (seeds in fuzz/corpus-measure and
#                   fuzz/corpus-recording)
# Each corpus grows in build-fuzz/corpus-TARGET; findings land in fuzz-out/.
# Exits non-zero when a run crashed, leaked, hung or broke a sanitizer rule.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
jobs=${2:-2}
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_run fuzz_reference fuzz_recording fuzz_measure)

install() {
    if [ "$(id -u)" = 0 ]; then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
    else
        echo "fuzz: please install $*" >&2
        exit 1
    fi
}
command -v clang++ >/dev/null || install clang-14
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || install libclang-rt-14-dev
clang=$(command -v clang++ || command -v clang++-14)

build=$root/build-fuzz
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="$clang" -DTONALYX_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

mkdir -p "$root/fuzz-out"
cd "$root/fuzz-out"
failed=0
for target in "${targets[@]}"; do
    # The whole-run target also starts from the inputs that once failed.
    seeds=("$root/fuzz/corpus" "$root/tests/fuzz-regressions")
    [ "$target" = fuzz_reference ] && seeds=("$root/fuzz/corpus-reference")
    [ "$target" = fuzz_recording ] && seeds=("$root/fuzz/corpus-recording")
    [ "$target" = fuzz_measure ] && seeds=("$root/fuzz/corpus-measure" "$root/fuzz/corpus-recording")
    log=$root/fuzz-out/last-run-$target.log
    mkdir -p "$build/corpus-$target"
    # -close_fd_mask=2 keeps the tool's error lines out of the log; the
    # sanitizers still report. -rss_limit_mb and -timeout catch memory and
    # time that grow with what a file declares.
    echo "fuzz: $target for $seconds s"
    "$build/$target" "$build/corpus-$target" "${seeds[@]}" \
        -fork="$jobs" -max_total_time="$seconds" -max_len=16384 -timeout=5 -rss_limit_mb=512 \
        -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$root/fuzz-out/$target-" 2>&1 | tee "$log" |
        grep -E '^#|DONE|ERROR|crash|leak|timeout|stat::' || true
    if grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer)|SUMMARY: |runtime error|slot [0-9]+ is|: sum |^measurement: ' "$log"; then
        failed=1
    fi
done
exit $failed
