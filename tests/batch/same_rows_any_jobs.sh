#!/usr/bin/env bash
# The rows of a batch do not depend on the number of workers: a mixed
# folder (good tones, silence, broken headers, 24-bit stereo, long 96 kHz
# files, names that need escaping) run with -j 1 and with -j 8 gives the
# same standard output, standard error and exit status, in the table, as
# JSON lines and with --hz. Run under ThreadSanitizer by the tsan preset.
#
#   same_rows_any_jobs.sh TONALYX_BATCH WAVEGEN
set -u
batch=$1 gen=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in=$work/in
mkdir -p "$in/sub"
for i in $(seq 1 12); do
    "$gen" --sine $((100 + 20 * (i % 46))) --slots 44100 -o "$in/tone$i.wav"
    "$gen" --const 0 --slots 44100 -o "$in/sub/silent$i.wav"
    printf 'RIFX%s' "$i" > "$in/broken$i.wav"
    "$gen" --sine 440 --slots 88200 --bits 24 --channels 2 -o "$in/sub/stereo24-$i.WAV"
done
for i in 1 2 3; do
    "$gen" --sine 2200 --slots 480000 --rate 96000 -o "$in/long$i.wav"
done
"$gen" --sine 440 --slots 44100 -o "$in/tab	and
line.wav"

failed=0
for options in "" "--format jsonl" "--hz" "--hz --format csv" "--expect 440 --length 4096"; do
    for jobs in 1 8; do
        # shellcheck disable=SC2086  # the options are words
        # --quiet: the summary's timing differs from run to run.
        "$batch" --quiet -j $jobs $options "$in" > "$work/out$jobs" 2> "$work/err$jobs"
        echo $? > "$work/status$jobs"
    done
    rows=$(wc -l < "$work/out1")
    if [ "$rows" -lt 52 ]; then
        echo "FAIL '$options': only $rows lines"; failed=1
    fi
    for part in out err status; do
        if ! cmp -s "$work/${part}1" "$work/${part}8"; then
            echo "FAIL '$options': $part differs between -j 1 and -j 8"
            diff "$work/${part}1" "$work/${part}8" | head -20
            failed=1
        fi
    done
    [ $failed = 1 ] || echo "ok   '$options': $rows lines, the same with -j 8"
done
exit $failed
