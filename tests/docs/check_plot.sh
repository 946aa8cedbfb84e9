#!/usr/bin/env bash
# The plot helper, with spaces and quotes in every path and in TMPDIR:
#   - with a stand-in gnuplot that keeps the arguments it is given: the
#     title names the file, the slots and the best match; the listing is
#     plotted;
#   - a run that fails (the tool's, or gnuplot's) leaves no file behind;
#   - with the real gnuplot, when installed: a PNG comes out.
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

if command -v gnuplot >/dev/null; then
    unset GNUPLOT
    "$plot" "$input" "$output" 300
    test "$(head -c 8 "$output" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a
    echo "plot checked, with gnuplot"
else
    echo "plot checked (gnuplot not installed: no PNG drawn)"
fi
