#!/usr/bin/env bash
# The measurement against the default answer and the peers, on recordings
# with known truth, and what it costs:
#
#   bench/measure/run.sh [BUILD_DIR] [FILES_DIR] [REPEAT] [-- compare.py options]
#
# Writes the files (make_files.py, seeded, with Debian's python3-numpy and
# espeak-ng: today's set and one family per kind of hard signal, about
# 850 files and 440 MB) into FILES_DIR (default BUILD_DIR/bench-measure)
# unless they are there, builds the tool and measure_time, prints the
# tables of compare.py (per family and in all, today's set, time per file
# as a process), then the time of tonalyx::measure in process for 1 s and
# 60 s at 48 kHz. A peer that is not installed (aubiopitch from
# aubio-tools, sox) counts as wrong. Exits 1 if a goal is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
positional=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do positional+=("$1"); shift; done
[ $# -eq 0 ] || shift
build=${positional[0]:-$here/build}
files=${positional[1]:-$build/bench-measure}
repeat=${positional[2]:-5}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tonalyx measure_time >/dev/null
# A set written before the families (no family column) is written again.
if ! head -1 "$files/truth.tsv" 2>/dev/null | grep -q family || [ ! -s "$files/cost/tone-60s-48k.wav" ]; then
    /usr/bin/python3 "$here/bench/measure/make_files.py" "$files"
fi
failed=0
/usr/bin/python3 "$here/bench/measure/compare.py" "$files" "$build/tonalyx" --repeat "$repeat" "$@" || failed=1

echo
echo "## tonalyx::measure in process (median of 101 runs, the file in memory)"
echo
echo "| recording | median ms | fastest ms | goal ms |"
echo "|---|---|---|---|"
while read -r name goal; do
    line=$("$build/measure_time" 101 "$files/cost/$name")
    median=$(sed -n 's/.* median_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    fastest=$(sed -n 's/.* min_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    flag=""
    awk -v m="$median" -v g="$goal" 'BEGIN { exit !(m <= g) }' || { flag=" MISSED"; failed=1; }
    echo "| $name | $median | $fastest | $goal$flag |"
done <<'EOF'
tone-1s-48k.wav 2
buzzer-1s-48k.wav 2
tone-60s-48k.wav 50
EOF
exit $failed
