#!/usr/bin/env bash
# Benchmark of tonalyx-batch against the tool run once per file, side by
# side in one go on the same files:
#   - 1000 links of one one-second 16-bit tone: tonalyx-batch -j 2 against
#     `xargs -P2 -n1 tonalyx -i`, in files per second (goal: 20 times);
#   - a mixed folder of 1000 (good tones, silence, broken headers, 24-bit
#     stereo, five seconds at 96 kHz), the same (goal: 10 times);
#   - the peak resident memory of tonalyx-batch over 100,000 links, and
#     over 1000 for comparison (goal: below 16 MiB, names included).
# Each rate is the best of three runs.
#
#   bench/batch.sh [BUILD_DIR]
# Inputs are generated into BUILD_DIR/bench-batch. Exits 1 if a goal is
# missed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
build=$(cd "$build" && pwd)  # the memory runs change folder
cmake --build "$build" -j2 --target tonalyx tonalyx-batch wavegen >/dev/null
tool=$build/tonalyx batch=$build/tonalyx-batch gen=$build/wavegen
inputs=$build/bench-batch
mkdir -p "$inputs/base"

make_input() {  # name, wavegen arguments...
    local name=$1; shift
    [ -s "$inputs/base/$name.wav" ] || "$gen" "$@" -o "$inputs/base/$name.wav"
}
make_input tone --sine 440 --slots 44100
make_input silence --const 0 --slots 44100
make_input stereo24 --sine 440 --slots 88200 --bits 24 --channels 2
make_input long96k --sine 2200 --slots 480000 --rate 96000
printf 'RIFX-not-a-wave' > "$inputs/base/broken.wav"

# FOLDER, then the base names to link in turn, 1000 links in all.
link_folder() {
    local folder=$1; shift
    [ -d "$folder" ] && return
    mkdir -p "$folder.tmp"
    local bases=("$@") i
    for i in $(seq -w 0 999); do
        ln "$inputs/base/${bases[$((10#$i % ${#bases[@]}))]}.wav" "$folder.tmp/$i.wav"
    done
    mv "$folder.tmp" "$folder"
}
link_folder "$inputs/tones" tone
link_folder "$inputs/mixed" tone silence broken stereo24 long96k
# 100,000 files: 100 folders of hard links to 1000 copies of the tone (a
# file can have only so many links).
if [ ! -d "$inputs/many" ]; then
    rm -rf "$inputs/many.tmp" "$inputs/copies"
    mkdir -p "$inputs/many.tmp"
    cp -r "$inputs/tones" "$inputs/copies"
    for d in $(seq -w 0 99); do cp -al "$inputs/copies" "$inputs/many.tmp/$d"; done
    mv "$inputs/many.tmp" "$inputs/many"
fi

nanoseconds() { date +%s%N; }
# The best of three runs of a command over FOLDER's 1000 files, in files/s.
files_per_second() {
    local folder=$1; shift
    local best=0 start end rate
    for _ in 1 2 3; do
        start=$(nanoseconds)
        "$@" "$folder" > /dev/null 2>&1 || true  # statuses 1 and 253 are expected
        end=$(nanoseconds)
        rate=$(( 1000 * 1000000000 / (end - start) ))
        [ "$rate" -gt "$best" ] && best=$rate
    done
    echo "$best"
}
per_file() {  # FOLDER: the tool once per file, two at a time
    find "$1" -name '*.wav' -print0 | xargs -0 -P2 -n1 "$tool" -i
}

failed=0
compare() {  # label, folder, goal (times)
    local label=$1 folder=$2 goal=$3 flag=""
    local processes in_process
    processes=$(files_per_second "$folder" per_file)
    in_process=$(files_per_second "$folder" "$batch" -j 2)
    local ratio=$(( in_process / processes ))
    [ "$ratio" -ge "$goal" ] || { flag=" MISSED"; failed=1; }
    printf '%-28s %12d %12d %8d %6d%s\n' "$label" "$processes" "$in_process" "$ratio" "$goal" "$flag"
}
printf '%-28s %12s %12s %8s %6s\n' "1000 files" "xargs -P2" "batch -j 2" "ratio" "goal"
compare "one-second tones" "$inputs/tones" 20
compare "mixed" "$inputs/mixed" 10

peak_kib() {  # FOLDER: the peak resident memory of one batch, in KiB
    (cd "$(dirname "$1")" && /usr/bin/time -f '%M' "$batch" -j 2 "$(basename "$1")" 2>&1 >/dev/null | tail -1)
}
few=$(peak_kib "$inputs/tones")
many=$(peak_kib "$inputs/many")
flag=""
[ "$many" -lt $((16 * 1024)) ] || { flag=" MISSED"; failed=1; }
echo "peak memory: $few KiB over 1000 files, $many KiB over 100,000 (goal: below 16384)$flag"
exit $failed
