#!/usr/bin/env bash
# Benchmark of whole runs against the run that only prints the usage (no
# arguments), on the same machine in one go:
#   - instructions (callgrind) of a run minus those of the usage run, against
#     the bound 200000 + 20 x 46 x length;
#   - median wall time of paired runs, and its ratio to the usage run;
#   - peak resident memory, and its excess over the usage run.
#
#   bench/run.sh [BUILD_DIR] [ROUNDS]
# Inputs are generated into BUILD_DIR/bench-inputs (the one-hour file takes
# about 318 MB). Exits 1 if an instruction or memory bound is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
rounds=${2:-31}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tonalyx wavegen pairtime >/dev/null
tool=$build/tonalyx gen=$build/wavegen pair=$build/pairtime
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
for n in 1 64 1024 4096; do make_input exact$n --sine 7 --slots $n; done
if [ ! -s "$inputs/declared.wav" ]; then  # one second, but a data chunk of 2147483646 bytes declared
    { head -c 40 "$inputs/second.wav"; printf '\xfe\xff\xff\x7f'; tail -c +45 "$inputs/second.wav"; } > "$inputs/declared.wav"
fi

instructions() {
    # The usage run ends with status 255: only the count matters here.
    { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null || true; } | sed -n 's/.*Collected : //p'
}
usage_ir=$(instructions "$tool")

failed=0
printf '%-34s %10s %10s %9s %9s %6s %10s\n' "run" "instr." "bound" "usage ms" "run ms" "ratio" "peak KiB"
measure() {  # label, length (or - for a run whose printing is not bounded), tool arguments...
    local label=$1 length=$2; shift 2
    local ir bound
    ir=$(( $(instructions "$tool" "$@") - usage_ir ))
    bound=$([ "$length" = - ] && echo 999999999 || echo $(( 200000 + 20 * 46 * length )))
    read -r usage_us run_us usage_kib run_kib < <("$pair" "$rounds" "$tool" -- "$tool" "$@")
    local flag=""
    if [ "$ir" -gt "$bound" ] || [ $(( run_kib - usage_kib )) -gt 1024 ]; then flag=" MISSED"; failed=1; fi
    awk -v label="$label" -v ir="$ir" -v bound="$bound" -v u="$usage_us" -v r="$run_us" \
        -v peak="$run_kib" -v extra=$(( run_kib - usage_kib )) -v flag="$flag" \
        'BEGIN { printf "%-34s %10d %10d %9.2f %9.2f %6.2f %5d (+%d)%s\n", label, ir, bound, u / 1000, r / 1000, r / u, peak, extra, flag }'
}

measure "1 s, default length" 1024 -i "$inputs/second.wav"
for n in 1 64 4096; do measure "1 s, -length $n" $n -length $n -i "$inputs/second.wav"; done
measure "1 h, default length" 1024 -i "$inputs/hour.wav"
measure "1 h, -length 4096" 4096 -length 4096 -i "$inputs/hour.wav"
measure "2147483646 bytes declared" 1024 -i "$inputs/declared.wav"
measure "2147483646 bytes declared, 4096" 4096 -length 4096 -i "$inputs/declared.wav"
for n in 1 64 1024 4096; do measure "exactly $n slots, -length $n" $n -length $n -i "$inputs/exact$n.wav"; done
measure "8000 slots, default length" 1024 -i "$inputs/rate8000.wav"
measure "8000 slots, -length 4096" 4096 -length 4096 -i "$inputs/rate8000.wav"
measure "96000 slots, default length" 1024 -i "$inputs/rate96000.wav"
measure "96000 slots, -length 4096" 4096 -length 4096 -i "$inputs/rate96000.wav"
# The trace and the listings add the cost of their printing: no bound.
measure "1 s, -v -gnuplot -valuelist" - -v -gnuplot -valuelist -i "$inputs/second.wav"
exit $failed
