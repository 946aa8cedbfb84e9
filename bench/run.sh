#!/usr/bin/env bash
# Benchmark of whole runs against the floor of a process: a static C
# program whose main returns 0, built here. On the same machine in one go:
#   - instructions of the whole process (callgrind), and of a run over the
#     run that only prints the usage (for the traced and listed runs);
#   - the median of the pairwise time ratios run / no-op over PAIRS pairs,
#     the two alternating;
#   - the peak resident memory over that of the usage run;
#   - a batch of 1000 files as the README runs it (find -exec), in files per
#     second, and the same with BASELINE (an earlier build of the tool) when
#     one is given;
#   - tonalyx-batch against a process per file, and its peak memory over
#     100,000 files (bench/batch.sh).
#
#   bench/run.sh [BUILD_DIR] [PAIRS] [BASELINE]
# Inputs are generated into BUILD_DIR/bench-inputs (the one-hour file takes
# about 318 MB). Exits 1 if a goal is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
pairs=${2:-301}
baseline=${3:-}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tonalyx wavegen pairtime >/dev/null
tool=$build/tonalyx gen=$build/wavegen pair=$build/pairtime
noop=$build/bench-noop
cc -O2 -static -o "$noop" "$here/bench/noop.c"
inputs=$build/bench-inputs
mkdir -p "$inputs"

make_input() {  # name, wavegen arguments...
    local name=$1; shift
    [ -s "$inputs/$name.wav" ] || "$gen" "$@" -o "$inputs/$name.wav"
}
make_input second --sine 440 --slots 44100
make_input hour --sine 1584000 --slots 158760000
make_input rate8000 --sine 440 --slots 8000
make_input rate96000 --sine 440 --slots 96000
for n in 1 1024 4096; do make_input exact$n --sine 7 --slots $n; done
if [ ! -s "$inputs/declared.wav" ]; then  # one second, but a data chunk of 2147483646 bytes declared
    { head -c 40 "$inputs/second.wav"; printf '\xfe\xff\xff\x7f'; tail -c +45 "$inputs/second.wav"; } > "$inputs/declared.wav"
fi

instructions() {
    # The usage run ends with status 255: only the count matters here.
    { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null || true; } | sed -n 's/.*Collected : //p'
}
usage_ir=$(instructions "$tool")
read -r _ _ _ _ usage_kib < <("$pair" 5 "$noop" -- "$tool")
noop_ir=$(instructions "$noop")

failed=0
echo "no-op: $noop_ir instructions; usage run: $usage_ir instructions, $usage_kib KiB peak"
printf '%-34s %10s %10s %10s %8s %6s %6s %11s\n' run instr. over-usage goal "no-op us" ratio goal "peak KiB"
# label, instruction goal (whole process, or +N over the usage run, or -),
# time ratio goal (or -), tool arguments...
measure() {
    local label=$1 ir_goal=$2 ratio_goal=$3; shift 3
    local ir over flag=""
    ir=$(instructions "$tool" "$@")
    over=$(( ir - usage_ir ))
    read -r noop_us run_us ratio _ run_kib < <("$pair" "$pairs" "$noop" -- "$tool" "$@")
    case $ir_goal in
        -) ;;
        +*) [ "$over" -le "${ir_goal#+}" ] || flag="$flag instr." ;;
        *) [ "$ir" -le "$ir_goal" ] || flag="$flag instr." ;;
    esac
    if [ "$ratio_goal" != - ] && ! awk -v r="$ratio" -v g="$ratio_goal" 'BEGIN { exit !(r <= g) }'; then
        flag="$flag time"
    fi
    [ $(( run_kib - usage_kib )) -le 1024 ] || flag="$flag memory"
    [ -z "$flag" ] || { flag=" MISSED:$flag"; failed=1; }
    printf '%-34s %10d %10d %10s %8.0f %6.2f %6s %5d (%+d)%s\n' "$label" "$ir" "$over" "$ir_goal" "$noop_us" "$ratio" \
        "$ratio_goal" "$run_kib" $(( run_kib - usage_kib )) "$flag"
}

measure "1 s, default length" 450000 1.3 -i "$inputs/second.wav"
measure "1 s, -length 4096" 1600000 2.0 -length 4096 -i "$inputs/second.wav"
measure "1 s, -length 1" - - -length 1 -i "$inputs/second.wav"
measure "1 h, default length" - - -i "$inputs/hour.wav"
measure "1 h, -length 4096" - - -length 4096 -i "$inputs/hour.wav"
measure "2147483646 bytes declared" - - -i "$inputs/declared.wav"
for n in 1 1024 4096; do measure "exactly $n slots, -length $n" - - -length $n -i "$inputs/exact$n.wav"; done
measure "8000 slots, -length 4096" - - -length 4096 -i "$inputs/rate8000.wav"
measure "96000 slots, -length 4096" - - -length 4096 -i "$inputs/rate96000.wav"
measure "1 s, -v -gnuplot -valuelist" +2000000 - -v -gnuplot -valuelist -i "$inputs/second.wav"
measure "1 s, -gnuplot -length 4096" +3000000 - -gnuplot -length 4096 -i "$inputs/second.wav"

# The README's batch: find -exec over a folder of 1000 one-second files.
batch=$inputs/batch
if [ ! -d "$batch" ]; then
    mkdir -p "$batch"
    for i in $(seq -w 1 1000); do ln "$inputs/second.wav" "$batch/tone$i.wav"; done
fi
files_per_second() {  # tool: the best of three batches, in files per second
    local best=0 start end rate
    for _ in 1 2 3; do
        start=$(date +%s%N)
        find "$batch" -name '*.wav' -exec "$1" -i {} \; | grep -c bestResult >/dev/null
        end=$(date +%s%N)
        rate=$(( 1000 * 1000000000 / (end - start) ))
        [ "$rate" -gt "$best" ] && best=$rate
    done
    echo "$best"
}
echo "batch of 1000 files (find -exec): $(files_per_second "$tool") files/s"
if [ -n "$baseline" ]; then
    echo "the same with $baseline: $(files_per_second "$baseline") files/s"
fi
# The batch runner against a process per file, and its memory.
echo
echo "tonalyx-batch (bench/batch.sh):"
"$here/bench/batch.sh" "$build" || failed=1
exit $failed
