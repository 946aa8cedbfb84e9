#!/usr/bin/env bash
# Runs the plot recipe on an example tone: a non-empty PNG must come out.
# Skipped (77) when gnuplot is not installed.
#   check_plot.sh BUILD_DIR SOURCE_DIR
set -eu
command -v gnuplot >/dev/null || { echo "gnuplot not installed"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
TONALYX=$1/tonalyx "$2/scripts/plot-samples.sh" "$1/examples/tone440.wav" "$out/plot.png" 300
test -s "$out/plot.png"
test "$(head -c 8 "$out/plot.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a
echo "plot checked"
