#!/usr/bin/env bash
# The measurement against the default answer and the peers, on recordings
# with known truth:
#
#   bench/measure/run.sh [BUILD_DIR] [FILES_DIR] [REPEAT]
#
# Writes the files (make_files.py, seeded, with Debian's python3-numpy and
# espeak-ng) into FILES_DIR (default BUILD_DIR/bench-measure) unless they
# are there, builds the tool, and prints the table of compare.py. Peers
# that are not installed (aubiopitch from aubio-tools, sox) are left out.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build}
files=${2:-$build/bench-measure}
repeat=${3:-5}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tonalyx >/dev/null
[ -s "$files/truth.tsv" ] || /usr/bin/python3 "$here/bench/measure/make_files.py" "$files"
peers=()
command -v aubiopitch >/dev/null && command -v sox >/dev/null || peers=(--skip-peers)
exec /usr/bin/python3 "$here/bench/measure/compare.py" "$files" "$build/tonalyx" --repeat "$repeat" "${peers[@]}"
