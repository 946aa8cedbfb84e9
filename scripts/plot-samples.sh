#!/usr/bin/env bash
# Plots the normalised samples that tonalyx analyses as a PNG, with gnuplot.
#
#   scripts/plot-samples.sh INPUT.wav OUTPUT.png [LENGTH]
#
# LENGTH is the number of sample slots (1 to 4096, default 1024), as with
# -length. The tool is taken from $TONALYX, else from the PATH, else from
# build/tonalyx. The title shows the tool's best match.
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 INPUT.wav OUTPUT.png [LENGTH]" >&2
    exit 2
fi
input=$1 output=$2 length=${3:-1024}
here=$(cd "$(dirname "$0")/.." && pwd)
tool=${TONALYX:-$(command -v tonalyx || echo "$here/build/tonalyx")}
command -v gnuplot >/dev/null || { echo "$0: gnuplot is needed (apt-get install gnuplot-nox)" >&2; exit 2; }

data=$(mktemp)
trap 'rm -f "$data"' EXIT
status=0
"$tool" -gnuplot -length "$length" -i "$input" > "$data" || status=$?
if [ "$status" -ne 0 ]; then
    cat "$data" >&2
    echo "$0: tonalyx ended with status $status" >&2
    exit 1
fi
# The listing lines are "index value"; the result line names the best match.
best=$(sed -n 's/^bestResult=\([^ ]*\) best matching freq.=\([0-9]*\)$/best match \2 (result \1)/p' "$data")

gnuplot <<GNUPLOT
set terminal png size 900,360
set output "$output"
set title "$(basename "$input"): $length slots, $best" noenhanced
set xlabel "slot"
set ylabel "normalised sample"
set yrange [-1.1:1.1]
set grid
plot "< awk 'NF == 2' $data" using 1:2 with lines notitle
GNUPLOT
