#!/usr/bin/env bash
# Runs one end-to-end case and compares what the tool printed and returned
# with what the case expects.
#
#   run_case.sh TONALYX WAVEGEN FILE.case
#
# A case file starts with header lines, then sections:
#   input: <shell command>   writes the input; its standard output becomes in.wav
#   run: <shell command>     the run, in the folder of in.wav, with tonalyx and
#                            wavegen on the PATH
#   filter: <shell command>  optional; standard output passes through it
#   status: N                the expected exit status
#   requires: CMD...         optional; the case is skipped (77) without them
#   --- stdout               expected standard output (the number of the
#   --- stderr               time line masked as time=*); a missing section
#                            expects nothing
set -u
tool=$1 gen=$2 case=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$(dirname "$tool"):$(dirname "$gen"):$PATH"

header() { awk -v key="$1: " '/^--- /{exit} index($0, key) == 1 {print substr($0, length(key) + 1); exit}' "$case"; }
section() { awk -v name="$1" '/^--- /{on = ($2 == name); next} on' "$case"; }

input=$(header input) run=$(header run) filter=$(header filter) status=$(header status)
for command in $(header requires); do
    command -v "$command" >/dev/null || { echo "skipped: $command is not installed"; exit 77; }
done
[ -n "$run" ] && [ -n "$status" ] || { echo "case lacks run: or status:"; exit 1; }
cd "$work"
if [ -n "$input" ]; then
    bash -c "$input" > in.wav || { echo "input command failed: $input"; exit 1; }
fi

bash -c "$run" > out.raw 2> err </dev/null
rc=$?
[ -n "$filter" ] || filter=cat
sed 's/^time=[0-9]*$/time=*/' out.raw | bash -c "$filter" > out

section stdout > want.out
section stderr > want.err
failed=0
if ! diff -u want.out out > out.diff; then echo "standard output differs:"; cat out.diff; failed=1; fi
if ! diff -u want.err err > err.diff; then echo "standard error differs:"; cat err.diff; failed=1; fi
if [ "$rc" != "$status" ]; then echo "exit status $rc, expected $status"; failed=1; fi
exit $failed
