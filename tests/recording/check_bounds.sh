#!/usr/bin/env bash
# The measurement's reader within its bounds whatever a header declares,
# measured on whole runs:
#   - time: a header followed by zero-size chunks (a 1 GB sparse file, and
#     /dev/zero through a pipe) ends after 1000 chunks, the file in under
#     10 ms (the best of 5 runs);
#   - memory: 8 channels at 768 kHz of 8-bit samples (60 s declared in a
#     sparse file, and no length through a pipe from /dev/zero) are
#     measured over their first 8.192 s, the line saying cut=8.192, within
#     256 MiB of resident memory by /usr/bin/time -v; tonalyx-batch --hz
#     -j 2 on two such files within twice that and 8 MiB.
#
#   check_bounds.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
tool=$build/tonalyx batch=$build/tonalyx-batch
[ -x /usr/bin/time ] || { echo "skipped: /usr/bin/time is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
problem() { echo "FAIL: $*"; failed=1; }
mib=$((1024 * 1024))

# A canonical header (a RIFF size of 0) of 8-bit samples, 8 channels at
# 768 kHz, and a data chunk that declares DATA-LENGTH bytes.
header() {
    "$build/wavegen" --riff-size 0 --channels 8 --rate 768000 --bits 8 --data-size "$1" --data ''
}

printf 'RIFF\377\377\377\077WAVE' > chunks.wav && truncate -s 1G chunks.wav
best=999999999
for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$tool" -hz -i chunks.wav 2> chunks.err; status=$?
    took=$(( $(date +%s%N) - start ))
    (( took < best )) && best=$took
done
[ "$status" = 253 ] && grep -q 'too many chunks before the data' chunks.err || problem "zero-size chunks: status $status, $(cat chunks.err)"
(( best < 10000000 )) || problem "zero-size chunks in a 1 GB file took $((best / 1000)) us at best"
echo "zero-size chunks in a 1 GB sparse file: $((best / 1000)) us at best"

start=$(date +%s%N)
(printf 'RIFF\377\377\377\377WAVE'; cat /dev/zero) | timeout 60 "$tool" -hz -i /dev/stdin 2> pipe.err
status=${PIPESTATUS[1]} took=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$status" = 253 ] && (( took < 2000 )) || problem "zero-size chunks through a pipe: status $status after $took ms"
echo "zero-size chunks from /dev/zero through a pipe: $took ms"

# peak RUN-NAME LIMIT-MIB COMMAND...: runs it under /usr/bin/time -v.
peak() {
    local name=$1 limit=$2 kib
    shift 2
    /usr/bin/time -v -o "$name.time" "$@" > "$name.out" 2> "$name.err"
    kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$name.time")
    echo "$name: $((kib / 1024)) MiB at the peak"
    (( kib * 1024 <= limit * mib )) || problem "$name peaked at $kib KiB, over $limit MiB"
}
header $((60 * 768000 * 8)) > long.wav && truncate -s $((44 + 60 * 768000 * 8)) long.wav
peak "60 s declared, 8 x 768 kHz" 256 "$tool" -hz -i long.wav
grep -q ' cut=8\.192$' "60 s declared, 8 x 768 kHz.out" || problem "no cut=8.192 in: $(cat "60 s declared, 8 x 768 kHz.out")"
grep -qx 'NOTE: long.wav holds more samples than 192 MiB take; measured over its first 8.192 s' \
    "60 s declared, 8 x 768 kHz.err" || problem "the note: $(cat "60 s declared, 8 x 768 kHz.err")"

header 0 > endless.head
peak "no length through a pipe" 256 bash -c 'cat endless.head /dev/zero | "$0" -hz -i /dev/stdin' "$tool"
grep -q ' cut=8\.192$' "no length through a pipe.out" || problem "no cut=8.192 from the pipe"

mkdir two && cp --sparse=always long.wav two/a.wav && cp --sparse=always long.wav two/b.wav
peak "tonalyx-batch --hz -j 2, two of them" $((2 * 256 + 8)) "$batch" --hz -j 2 two
# Silence: measured (status 1, no tone), not refused.
[ "$(grep -c '^two/[ab].wav	1	' "tonalyx-batch --hz -j 2, two of them.out")" = 2 ] || problem "the batch rows"
exit $failed
