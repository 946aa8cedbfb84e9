#!/usr/bin/env bash
# Runs one end-to-end case and compares what the tool printed and returned
# with what the case expects.
#
#   run_case.sh TONALYX WAVEGEN FILE.case [EMULATOR...]
#
# With an emulator (a cross build) the tool runs under it. The batch tool
# named by $TONALYX_BATCH, when set, is on the PATH as tonalyx-batch. A Windows tool
# (TONALYX ends in .exe) writes CR LF line ends; they are compared as LF,
# and the cases that read a pipe as /dev/stdin or say not-on-windows are
# skipped. A WebAssembly tool (TONALYX ends in .js, run by node) skips the
# cases that say not-on-wasm; node exits with the low byte of the tool's
# status, as Linux does, so statuses compare alike.
#
# A case file starts with header lines, then sections:
#   input: <shell command>   writes the input; its standard output becomes in.wav
#   run: <shell command>     the run, in the folder of in.wav, with tonalyx and
#                            wavegen on the PATH
#   filter: <shell command>  optional; standard output passes through it
#   status: N                the expected exit status
#   requires: CMD...         optional; the case is skipped (77) without them
#   not-on-windows: WHY      optional; the case is skipped for a Windows tool
#   not-on-wasm: WHY         optional; the case is skipped for a WebAssembly tool
#   --- stdout               expected standard output (the number of the
#   --- stderr               time line masked as time=*); a missing section
#                            expects nothing
set -u
tool=$1 gen=$2 case=$3
shift 3
work=$(mktemp -d) bin=$(mktemp -d)
trap 'rm -rf "$work" "$bin"' EXIT
# The case names the tools plainly: tonalyx and wavegen.
{ echo '#!/usr/bin/env bash'; printf 'exec'; printf ' %q' "$@" "$tool"; echo ' "$@"'; } > "$bin/tonalyx"
ln -s "$gen" "$bin/wavegen"
chmod +x "$bin/tonalyx"
if [ -n "${TONALYX_BATCH:-}" ]; then
    { echo '#!/usr/bin/env bash'; printf 'exec'; printf ' %q' "$@" "$TONALYX_BATCH"; echo ' "$@"'; } > "$bin/tonalyx-batch"
    chmod +x "$bin/tonalyx-batch"
fi
# The project's helper scripts are on the PATH too.
export PATH="$bin:$(cd "$(dirname "$case")/../../../scripts" && pwd):$PATH"
windows=0 wasm=0
[[ $tool == *.exe ]] && windows=1
[[ $tool == *.js ]] && wasm=1

header() { awk -v key="$1: " '/^--- /{exit} index($0, key) == 1 {print substr($0, length(key) + 1); exit}' "$case"; }
section() { awk -v name="$1" '/^--- /{on = ($2 == name); next} on' "$case"; }

input=$(header input) run=$(header run) filter=$(header filter) status=$(header status)
for command in $(header requires); do
    command -v "$command" >/dev/null || { echo "skipped: $command is not installed"; exit 77; }
done
[ -n "$run" ] && [ -n "$status" ] || { echo "case lacks run: or status:"; exit 1; }
if [ $windows = 1 ]; then
    [[ $run == */dev/stdin* ]] && { echo "skipped: Windows cannot name a pipe as the input"; exit 77; }
    why=$(header not-on-windows)
    [ -z "$why" ] || { echo "skipped: $why"; exit 77; }
fi
if [ $wasm = 1 ]; then
    why=$(header not-on-wasm)
    [ -z "$why" ] || { echo "skipped: $why"; exit 77; }
fi
# A build without the batch tool (the browser's) skips the cases that run it.
if [[ $run == *tonalyx-batch* ]] && [ -z "${TONALYX_BATCH:-}" ]; then
    echo "skipped: this build has no tonalyx-batch"
    exit 77
fi
cd "$work"
if [ -n "$input" ]; then
    bash -c "$input" > in.wav || { echo "input command failed: $input"; exit 1; }
fi

bash -c "$run" > out.raw 2> err.raw </dev/null
rc=$?
[ -n "$filter" ] || filter=cat
if [ $windows = 1 ]; then
    sed -i 's/\r$//' out.raw err.raw
fi
mv err.raw err
sed 's/^time=[0-9]*$/time=*/' out.raw | bash -c "$filter" > out

section stdout > want.out
section stderr > want.err
failed=0
if ! diff -u want.out out > out.diff; then echo "standard output differs:"; cat out.diff; failed=1; fi
if ! diff -u want.err err > err.diff; then echo "standard error differs:"; cat err.diff; failed=1; fi
if [ "$rc" != "$status" ]; then echo "exit status $rc, expected $status"; failed=1; fi
exit $failed
