#!/usr/bin/env bash
# A run split by GNU parallel (the local login ':' twice, shares of 3
# files) and put together by tonalyx-parallel gives the standard output of
# one tonalyx-batch run over the folder, byte for byte, and its exit
# status; the summary counts each verdict of that output; CSV shares made
# by hand merge record by record; a lost share fails the merge.
#
#   parallel_merge.sh TONALYX_BATCH WAVEGEN TONALYX_PARALLEL
set -u
batch=$1 gen=$2 merge=$3
command -v parallel >/dev/null || { echo "skip: GNU parallel is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in=$work/in
mkdir -p "$in/sub" "$in/-dash"
for i in 1 2 3 4 5 6 7; do
    "$gen" --sine $((100 + 140 * i)) --slots 44100 -o "$in/tone$i.wav"
done
"$gen" --const 0 --slots 44100 -o "$in/sub/silent.WAV"
"$gen" --sine 440 --slots 88200 --bits 24 --channels 2 -o "$in/-dash/stereo.wav"
printf 'RIFX' > "$in/broken.wav"
# Names a shell or the merge could take for something else.
"$gen" --sine 660 --slots 44100 -o "$in/tab	new
line \$(id) 'q\" \\.wav"
"$gen" --sine 880 --slots 44100 -o "$in/$(printf 'bytes\001\377\302\205').wav"
ln -s tone1.wav "$in/link.wav"
# The files as the batch finds them in a folder: regular files and links
# to them, *.wav in any case.
find "$in" -iname '*.wav' -xtype f -print0 > "$work/list"
printf '2/:\n' > "$work/hosts"

failed=0
for options in "--format jsonl" "--format jsonl --hz" "--hz"; do
    # shellcheck disable=SC2086  # the options are words
    "$batch" $options "$in" > "$work/one" 2>/dev/null
    one_status=$?
    # shellcheck disable=SC2086
    # Shares of 3 files in a random order: the merge must sort them.
    parallel --will-cite -0 -a "$work/list" -X -N 3 --shuf --sshloginfile "$work/hosts" \
        "$batch" $options > "$work/shares" 2>/dev/null
    "$merge" --names "$work/list" -0 "$work/shares" > "$work/merged" 2> "$work/summary"
    merge_status=$?
    # The summary against the verdicts counted in one run's output.
    expected=$({ grep -o '"verdict":"[a-z]*"' "$work/one" | cut -d'"' -f4
                 awk -F'\t' 'NR == 1 {for (i = 1; i <= NF; i++) if ($i == "verdict") v = i}
                              NR > 1 && !/^[{]/ {print $v}' "$work/one"; } |
        sort | uniq -c | awk '{printf "%s %s, ", $1, $2}')
    got=$(sed -n 's/^tonalyx-parallel: [0-9]* files: //p' "$work/summary" | tr ',' '\n' |
        awk 'NF == 2 && $1 > 0 {print $2, $1}' | sort | awk '{printf "%s %s, ", $2, $1}')
    files=$(tr -cd '\0' < "$work/list" | wc -c)
    if ! cmp -s "$work/one" "$work/merged"; then
        echo "FAIL '$options': merged output differs from one run"
        diff "$work/one" "$work/merged" | head -10; failed=1
    elif [ "$one_status" != "$merge_status" ] || [ "$one_status" != 1 ]; then
        echo "FAIL '$options': status $merge_status, one run $one_status (a broken file: 1)"; failed=1
    elif [ "$got" != "$expected" ] || ! grep -q "^tonalyx-parallel: $files files: " "$work/summary"; then
        echo "FAIL '$options': summary '$(cat "$work/summary")', counted '$expected' of $files"; failed=1
    else
        echo "ok   '$options': $files files merged as one run gives them; $expected"
    fi
done

# CSV shares by hand (RFC 4180: a quoted name holding a comma, a quote and
# CR LF), in the wrong order: each record is kept whole, one header.
header='file,status,tone,verdict\r\n'
b_row='"b,""x""\r\ny.wav",0,440,ok\r\n' a_row='a.wav,253,,error\r\n' c_row='c.wav,0,,weak\r\n'
printf "$header$c_row$b_row" > "$work/csv1"
printf "$header$a_row" > "$work/csv2"
printf "$header$a_row$b_row$c_row" > "$work/csv-want"
"$merge" "$work/csv1" "$work/csv2" > "$work/csv-got" 2> "$work/csv-summary"
status=$?
if [ $status != 1 ] || ! cmp -s "$work/csv-want" "$work/csv-got" ||
    [ "$(cat "$work/csv-summary")" != "tonalyx-parallel: 3 files: 1 ok, 1 weak, 0 wrong, 1 error" ]; then
    echo "FAIL: CSV shares merged (status $status, $(cat "$work/csv-summary")):"; od -c "$work/csv-got" | head; failed=1
else
    echo "ok   CSV shares"
fi

# A share lost (its rows missing) fails the check against the list.
head -n 3 "$work/shares" > "$work/some"
"$merge" --names "$work/list" -0 "$work/some" > /dev/null 2> "$work/err"
status=$?
if [ $status != 2 ] || ! grep -q '0 rows' "$work/err"; then
    echo "FAIL: rows missing gave status $status: $(cat "$work/err")"; failed=1
else
    echo "ok   rows missing: status 2"
fi
exit $failed
