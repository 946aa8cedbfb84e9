#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer, LeakSanitizer) and fuzzes it.
#   fuzz/run.sh [SECONDS] [JOBS]      default: 60 seconds, 2 parallel jobs
# The corpus grows in build-fuzz/corpus, seeded from fuzz/corpus; findings
# land in fuzz-out/. Exits non-zero when a run crashed, leaked, hung or broke
# a sanitizer rule.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
jobs=${2:-2}

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
cmake --build "$build" -j2 --target fuzz_run >/dev/null

mkdir -p "$build/corpus" "$root/fuzz-out"
cd "$root/fuzz-out"
# -close_fd_mask=2 keeps the tool's error lines out of the log; the
# sanitizers still report. -rss_limit_mb and -timeout catch memory and time
# that grow with what a file declares.
"$build/fuzz_run" "$build/corpus" "$root/fuzz/corpus" \
    -fork="$jobs" -max_total_time="$seconds" -max_len=16384 -timeout=5 -rss_limit_mb=512 \
    -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$root/fuzz-out/" 2>&1 | tee "$root/fuzz-out/last-run.log" | grep -E '^#|DONE|ERROR|crash|leak|timeout|stat::' || true
! grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer)|SUMMARY: |runtime error' "$root/fuzz-out/last-run.log"
