#!/usr/bin/env bash
# The plot helper, with spaces and quotes in every path and in TMPDIR:
#   - with a stand-in gnuplot that keeps the arguments it is given: the
#     title names the file, the slots and the best match; the listing is
#     plotted;
#   - a run that fails (the tool's, or gnuplot's) leaves no file behind;
#   - with the real gnuplot, when installed: a PNG comes out;
#   - --hz: the title names the file and gives the line of tonalyx -hz;
#     with the real gnuplot a PNG comes out for a tone and for silence, and
#     gnuplot reads every data set of a hand-written -pictures output
#     without a warning.
#   check_plot.sh BUILD_DIR SOURCE_DIR
set -eu
build=$(cd "$1" && pwd) plot=$2/scripts/tonalyx-plot
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir "$root/tmp dir" "$root/it's here"
export TMPDIR="$root/tmp dir" TONALYX=$build/tonalyx
input="$root/it's here/a tone.wav" output="$root/it's here/the plot.png"
cp "$build/examples/tone440.wav" "$input"

cat > "$root/fake-gnuplot" <<'FAKE'
#!/usr/bin/env bash
# Called as "-c SCRIPT POINTS PICTURE TITLE": keeps the points file's name
# and the title, and writes a whole (if empty) PNG; fails when asked to.
printf '%s\n' "$3" "$5" > "$FAKE_KEEP"
[ -z "${FAKE_FAIL:-}" ] || { echo "fake gnuplot: failing"; exit 1; }
printf '\x89PNG\r\n\x1a\n\0\0\0\0IEND\xaeB\x60\x82' > "$4"
FAKE
chmod +x "$root/fake-gnuplot"
export FAKE_KEEP=$root/script
GNUPLOT=$root/fake-gnuplot "$plot" "$input" "$output" 300
test -s "$output"
# The best match over the slots plotted, as the tool gives it for them.
best=$("$TONALYX" -length 300 -i "$input" | sed -n 's/^bestResult=\([^ ]*\) best matching freq.=\([0-9]*\)$/best match \2 (result \1)/p')
title=$(sed -n 2p "$root/script")
[ "$title" = "a tone.wav: the first 300 slots (-length 300), $best" ] || { echo "unexpected title: $title"; exit 1; }
points=$(sed -n 1p "$root/script")
[ -n "$points" ] && [ ! -e "$points" ] || { echo "the points file should be named and gone: $points"; exit 1; }

rm -f "$output"
echo hello > "$root/text.wav"
if GNUPLOT=$root/fake-gnuplot "$plot" "$root/text.wav" "$output" 2>/dev/null; then echo "a text file plotted"; exit 1; fi
if FAKE_FAIL=1 GNUPLOT=$root/fake-gnuplot "$plot" "$input" "$output" 2>/dev/null; then echo "a failed gnuplot passed"; exit 1; fi
[ ! -e "$output" ] || { echo "a failed run left $output"; exit 1; }
[ -z "$(ls -A "$TMPDIR")" ] || { echo "left in TMPDIR:"; ls -A "$TMPDIR"; exit 1; }

# --help: the usage on standard output, --hz first.
"$plot" --help | head -1 | grep -q '^usage: tonalyx-plot --hz ' || { echo "--help gave no usage with --hz first"; exit 1; }

# --hz: the title is the name, then the line in two (before "thd=").
GNUPLOT=$root/fake-gnuplot "$plot" --hz "$input" "$output"
line=$("$TONALYX" -hz -i "$input")
[ "$(sed -n '2,$p' "$root/script")" = "$(printf 'a tone.wav\n%s\nthd=%s' "${line% thd=*}" "${line#* thd=}")" ] ||
    { echo "unexpected --hz title:"; sed -n '2,$p' "$root/script"; exit 1; }
"$build/wavegen" --const 0 --slots 8000 --rate 8000 -o "$root/silence.wav"

if ! command -v gnuplot >/dev/null; then
    echo "plot checked (gnuplot not installed: no PNG drawn)"
    exit 0
fi
unset GNUPLOT
png() { test "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a || { echo "no PNG: $2"; exit 1; }; }
"$plot" "$input" "$output" 300
png "$output" "the slots"
for wav in "$input" "$root/silence.wav"; do
    rm -f "$output"
    "$plot" --hz "$wav" "$output"
    png "$output" "--hz $wav"
done
# Every data set with points, as the measurement gives them (gnuplot warns
# of a set it cannot find or read). A wrapper keeps gnuplot's messages.
cat > "$root/pictures" <<'DATA'
tone=440 measured=440.02 purity=0.998 level=-6.0 start=0.100 end=0.900 channel=1 thd=10.05 snr=48.2 drift=0.01 bursts=2


# spectrum: Hz dBFS
0.000 -130.00
439.500 -20.25
440.000 -6.02
880.000 -26.00
1320.000 -1000000000000.00


# harmonics: Hz
440.020
880.040


# hum: Hz
50.000


# envelope: s dBFS
0.000 -90.00
0.100 -6.00
0.500 -80.00


# bursts: start end
0.100 0.400
0.500 0.900
DATA
printf '#!/bin/sh\ncat "%s"\n' "$root/pictures" > "$root/fake-tool"
printf '#!/bin/sh\ngnuplot "$@" 2> "%s"\n' "$root/gnuplot.log" > "$root/keep-gnuplot"
chmod +x "$root/fake-tool" "$root/keep-gnuplot"
TONALYX=$root/fake-tool GNUPLOT=$root/keep-gnuplot "$plot" --hz "$input" "$output"
png "$output" "hand-written pictures"
[ ! -s "$root/gnuplot.log" ] || { echo "gnuplot said:"; cat "$root/gnuplot.log"; exit 1; }
echo "plot checked, with gnuplot"
