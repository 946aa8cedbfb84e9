#!/usr/bin/env bash
# Hostile names, paths, options and output targets for tonalyx-batch, one
# table row each: the setup (run in a fresh scratch folder), the command,
# the exit status and the exact standard output and standard error it must
# give. After every row the scratch folder's sentinel files must still be
# there: nothing the batch was pointed at or near is ever deleted.
#
#   hostile_paths.sh TONALYX_BATCH WAVEGEN
#
# Expected figures: 440 periods over 44100 slots give 440 with 0.497611 and
# 250 periods over 4096 slots give 360 with 0.008566 (the worked examples);
# a five-byte file cannot hold a RIFF header.
set -u
batch=$(realpath "$1") gen=$(realpath "$2")
top=$(mktemp -d)
trap 'chmod -R u+rwx "$top"; rm -rf "$top"' EXIT
chmod 755 "$top"  # the unprivileged row must reach it
export TMPDIR=$top/tmp  # must stay empty: the batch makes no temp files
mkdir "$TMPDIR"
# A copy the unprivileged user can run wherever the build folder is.
cp "$batch" "$top/batch-copy" && chmod 755 "$top/batch-copy"
# Every row runs --quiet: the summary's timing differs from run to run.
printf '#!/usr/bin/env bash\nexec %q --quiet "$@"\n' "$batch" > "$top/batch-quiet" && chmod 755 "$top/batch-quiet"
batch=$top/batch-quiet
usage="usage: tonalyx-batch [--hz] [--expect HZ|none] [--expect-from FILE] [--min-purity P]
                     [--min-level DB] [--tolerance HZ] [--min-result R] [--length N] [-j N]
                     [--format tsv|jsonl|csv] [--quiet] [--progress|--no-progress] PATH..."

tone() { "$gen" --sine 440 --slots 44100 -o "$1"; }
header=$'file\tstatus\tfreq\tresult\tverdict'
ok440=$'\t0\t440\t0.497611\tok'
unreadable_header=": ERROR: cannot read header of main chunk"

failed=0 count=0 skipped=0
# check NAME STATUS STDOUT STDERR SETUP COMMAND
check() {
    local name=$1 want_status=$2 want_out=$3 want_err=$4 setup=$5 command=$6
    count=$((count + 1))
    local scratch=$top/case$count
    mkdir "$scratch" && chmod 755 "$scratch"
    (cd "$scratch" && touch sentinel && mkdir keep && touch keep/sentinel.wav && eval "$setup") || {
        echo "FAIL $name: setup failed"; failed=$((failed + 1)); return; }
    (cd "$scratch" && eval "$command") > "$top/out" 2> "$top/err"
    local status=$?
    local problems=""
    if [ "$status" = 77 ] && [ "$want_status" != 77 ]; then
        echo "skip $name: $(cat "$top/out")"; skipped=$((skipped + 1)); return
    fi
    [ "$status" = "$want_status" ] || problems+=" status $status, expected $want_status;"
    [ "$(cat "$top/out")" = "$want_out" ] || problems+=" standard output differs;"
    [ "$(cat "$top/err")" = "$want_err" ] || problems+=" standard error differs;"
    [ -e "$scratch/sentinel" ] && [ -e "$scratch/keep/sentinel.wav" ] || problems+=" a sentinel file was deleted;"
    [ -z "$(ls -A "$TMPDIR")" ] || problems+=" temporary files left: $(ls -A "$TMPDIR");"
    if [ -n "$problems" ]; then
        echo "FAIL $name:$problems"
        echo "--- stdout"; cat "$top/out"; echo "--- stderr"; cat "$top/err"
        failed=$((failed + 1))
    else
        echo "ok   $name"
    fi
}

# 4,096 hard links of FOLDER/0.wav, 64 in each of 64 folders inside
# FOLDER: a shallow tree, as every folder costs milliseconds to delete.
many_links() {
    local folder=$1 i
    mkdir "$folder/0" && mv "$folder/0.wav" "$folder/0/0.wav" || return 1
    for i in $(seq 1 63); do ln "$folder/0/0.wav" "$folder/0/$i.wav" || return 1; done
    for i in $(seq 1 63); do cp -al "$folder/0" "$folder/$i" || return 1; done
}

# A run as an unprivileged user (root reads every folder), or 77.
as_nobody() {
    [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null || { echo "needs root and setpriv"; return 77; }
    setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
}

check "a folder named -delete after -- is searched, and deletes nothing" 0 \
    "$header"$'\n-delete/t.wav'"$ok440" "" \
    'mkdir ./-delete && tone ./-delete/t.wav' \
    '"$batch" -- -delete'

check "a full disk is a failed run" 2 "" \
    "tonalyx-batch: cannot write standard output: No space left on device" \
    'tone a.wav' \
    '"$batch" a.wav > /dev/full'

check "a reader that went away is a failed run (SIGPIPE ignored too)" 2 "" \
    "tonalyx-batch: cannot write standard output: Broken pipe
tonalyx-batch: cannot write standard output: Broken pipe" \
    'mkdir in && tone in/0.wav' \
    '(sleep 0.3; exec "$batch" in) | true; a=${PIPESTATUS[0]}
     (trap "" PIPE; sleep 0.3; exec "$batch" in) | true; b=${PIPESTATUS[0]}
     [ "$a" = "$b" ] && exit "$a"'

check "a symlinked folder given as a path is searched" 0 \
    "$header"$'\nlinked/t.wav'"$ok440" "" \
    'mkdir real && tone real/t.wav && ln -s real linked' \
    '"$batch" linked'

check "symlinked folders inside are not followed, not even in a loop" 0 \
    "$header"$'\nin/a.wav'"$ok440"$'\nin/file-link.wav'"$ok440" "" \
    'mkdir in elsewhere && tone in/a.wav && tone elsewhere/b.wav && ln -s ../elsewhere in/folder-link &&
     ln -s . in/loop && ln -s ../elsewhere/b.wav in/file-link.wav' \
    '"$batch" in'

check "an unreadable folder and an unreadable file are error rows" 1 \
    "$header"$'\nin/a.wav'"$ok440"$'\nin/locked\t254\t\t\terror\nin/secret.wav\t254\t\t\terror' \
    "in/locked: ERROR: cannot read folder: Permission denied
in/secret.wav: ERROR: Inp.wave file not found: in/secret.wav" \
    'mkdir -p in/locked && tone in/a.wav && tone in/locked/hidden.wav && tone in/secret.wav &&
     chmod 000 in/locked in/secret.wav' \
    'as_nobody "$top/batch-copy" --quiet in'

check "with --hz an unreadable file says why" 1 \
    $'file\tstatus\ttone\tmeasured\tpurity\tverdict\tlevel\tstart\tend\tchannel\tthd\tsnr\tdrift\tbursts\treason\nin/a.wav\t0\t440\t440.00\t1.000\tok\t-10.3\t0.000\t1.000\t1\t0.00\t44.9\t0.00\t1\t\nin/secret.wav\t254\t\t\t\terror\t\t\t\t\t\t\t\t\t' \
    "in/secret.wav: ERROR: cannot open in/secret.wav: Permission denied" \
    'mkdir in && tone in/a.wav && tone in/secret.wav && chmod 000 in/secret.wav' \
    'as_nobody "$top/batch-copy" --quiet --hz in'

check "a huge -j is a usage error" 2 "" \
    "tonalyx-batch: -j takes a whole number from 1 to 1024, not '99999999999999999999'
$usage" \
    'tone a.wav' \
    '"$batch" -j 99999999999999999999 a.wav'

check "--expect 0440 is 440" 0 \
    "$header"$'\na.wav'"$ok440" "" \
    'tone a.wav' \
    '"$batch" --expect 0440 a.wav'

check "--expect 445 is no candidate" 2 "" \
    "tonalyx-batch: --expect takes one of the candidates 100, 120, ..., 1000 or none, not '445'
$usage" \
    'tone a.wav' \
    '"$batch" --expect 445 a.wav'

check "--min-result 1e-3 lets a small result pass" 0 \
    "$header"$'\nb.wav\t0\t360\t0.008566\tok' "" \
    '"$gen" --sine 250 --slots 44100 -o b.wav' \
    '"$batch" --min-result 1e-3 --length 4096 b.wav'

check "tab, line feed, carriage return, backslash and escape in names" 1 \
    "$header"$'\nin/a\\\\b.wav'"$ok440"$'\nin/c\\td.wav'"$ok440"$'\nin/e\\nf.wav'"$ok440"$'\nin/g\\rh.wav'"$ok440"$'\nin/x\\x1b[31m.wav\t253\t\t\terror' \
    'in/x\x1b[31m.wav'"$unreadable_header"'
in/x\x1b[31m.wav: ERROR: no sample data loaded' \
    'mkdir in && tone in/a\\b.wav && tone "in/c	d.wav" && tone "in/e
f.wav" && tone in/g$'"'"'\r'"'"'h.wav && echo hello > in/x$'"'"'\e'"'"'[31m.wav' \
    '"$batch" in'

check "a FIFO named x.wav inside a folder is skipped, not read" 0 \
    "$header"$'\nin/a.wav'"$ok440" "" \
    'mkdir in && tone in/a.wav && mkfifo in/x.wav' \
    'timeout 20 "$batch" in'

check "SIGTERM stops the workers, ends the last row and exits with 143 soon" 0 "" "" \
    'mkdir in && tone in/0.wav && many_links in' \
    '"$batch" -j 2 in > >(IFS= read -r first; { printf "%s\n" "$first"; touch started; sleep 1.5; cat; } > rows
                          touch rows.done) & pid=$!
     for i in $(seq 1 200); do [ -e started ] && break; sleep 0.1; done
     kill -TERM $pid; start=$SECONDS
     wait $pid; status=$?
     [ $status = 143 ] || { echo "status $status"; exit 1; }
     [ $((SECONDS - start)) -lt 5 ] || { echo "took too long"; exit 1; }
     ! kill -0 $pid 2>/dev/null || { echo "still running"; exit 1; }
     for i in $(seq 1 100); do [ -e rows.done ] && break; sleep 0.1; done
     lines=$(wc -l < rows)
     [ "$lines" -gt 1 ] && [ "$lines" -lt 4097 ] || { echo "$lines lines: not stopped midway"; exit 1; }
     [ "$(tail -c 1 rows | od -An -c | tr -d " ")" = "\n" ] || { echo "the last row is cut"; exit 1; }
     awk -F "\t" "NF != 5 || (NR > 1 && \$5 != \"ok\") { exit 1 }" rows || { echo "a row is broken"; exit 1; }'

check "a name that is not UTF-8 still gives a JSON object" 0 \
    "1 row, the name's bytes back" "" \
    'mkdir in && tone in/$'"'"'\xff\xfe'"'"'.wav' \
    'command -v python3 >/dev/null || { echo "needs python3"; exit 77; }
     "$batch" --format jsonl in | python3 -c "
import json, os, sys
rows = [json.loads(line) for line in sys.stdin]
assert len(rows) == 1 and rows[0][\"verdict\"] == \"ok\" and rows[0][\"freq\"] == 440, rows
assert os.fsencode(rows[0][\"file\"]) == b\"in/\\xff\\xfe.wav\", rows
print(len(rows), \"row, the name'"'"'s bytes back\")"'

check "a missing path is an error row, named escaped; the others run" 1 \
    "$header"$'\na.wav'"$ok440"$'\nmiss\\x1bing.wav\t254\t\t\terror' \
    'miss\x1bing.wav: ERROR: Inp.wave file not found: miss\x1bing.wav' \
    'tone a.wav' \
    '"$batch" a.wav miss$'"'"'\e'"'"'ing.wav'

echo "$((count - failed - skipped)) passed, $failed failed, $skipped skipped"
[ $failed = 0 ]
