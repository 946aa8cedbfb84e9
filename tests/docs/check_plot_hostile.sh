#!/usr/bin/env bash
# Runs the rows of plot_hostile.table against tonalyx-plot.
#   check_plot_hostile.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
plot=$source/scripts/tonalyx-plot
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export TONALYX=$build/tonalyx

# The stand-in gnuplot: called as "-c SCRIPT POINTS PICTURE TITLE"; keeps
# the title and writes the picture as FAKE_MODE says.
cat > "$root/fake-gnuplot" <<'FAKE'
#!/usr/bin/env bash
printf '%s' "$5" > "$FAKE_TITLE"
signature='\x89PNG\r\n\x1a\n' iend='\0\0\0\0IEND\xaeB\x60\x82'
case $FAKE_MODE in
whole) printf "$signature\\0\\0\\0\\0IDAT$iend" > "$4" ;;
truncated) printf "$signature\\0\\0\\0\\0IDAT\\0\\0\\0\\0IE" > "$4" ;;
text) echo 'not a picture' > "$4" ;;
nothing) ;;
fails) echo 'fake gnuplot: failing'; exit 1 ;;
esac
FAKE
chmod +x "$root/fake-gnuplot"

# What a whole PNG starts and ends with.
printf '\x89PNG\r\n\x1a\n' > "$root/signature"
printf '\0\0\0\0IEND\xaeB\x60\x82' > "$root/end"
printf 'old picture' > "$root/old"

# Helpers for the SETUP column.
old() { printf 'old picture' > "$1"; }
device() { mknod "$1" c 1 3 2>/dev/null; }
silence() { "$build/wavegen" --const 0 --slots 8000 --rate 8000 -o "$1" > /dev/null; }
failing_mv() {
    mkdir -p stand-ins
    printf '#!/bin/sh\necho "mv: failing" >&2\nexit 1\n' > stand-ins/mv
    chmod +x stand-ins/mv
    PATH=$PWD/stand-ins:$PATH
}

# True when the file holds a raw C0 control but the line end, DEL, or a C1
# control (U+0080 to U+009F, or such a byte outside UTF-8).
raw_control() {
    /usr/bin/python3 -c 'import re, sys
text = open(sys.argv[1], "rb").read().decode("utf-8", "surrogateescape")
sys.exit(not re.search("[\x00-\x09\x0b-\x1f\x7f-\x9f\udc80-\udc9f]", text))' "$1"
}

failed=0 count=0 skipped=0
problem() { echo "$case: $*"; failed=1; }
row() {
    local case=$1 in=$2 out=$3 length=$4 setup=$5 gnuplot=$6 status=$7 after=$8 title=$9 options=${10:--}
    local dir=$root/$case rc=0 args=()
    [ "$options" = - ] || read -r -a args <<<"$options"
    args+=("$in" "$out")
    [ "$length" = - ] || args+=("$length")
    count=$((count + 1))
    if [ "$gnuplot" = real ] && ! command -v gnuplot >/dev/null; then
        echo "$case: skipped (gnuplot not installed)"; skipped=$((skipped + 1)); return
    fi
    mkdir -p "$dir/tmp"
    cp "$build/examples/tone440.wav" "$dir/$in"
    (
        cd "$dir" || exit 99
        export TMPDIR=$dir/tmp FAKE_TITLE=$root/$case.title FAKE_MODE=$gnuplot
        [ "$gnuplot" = real ] && unset GNUPLOT || export GNUPLOT=$root/fake-gnuplot
        if [ "$setup" != - ]; then eval "$setup" || exit 98; fi
        exec timeout 30 "$plot" "${args[@]}" > "$root/$case.out" 2> "$root/$case.err" < /dev/null
    ) || rc=$?
    if [ $rc = 98 ] && [ "$after" = device ]; then
        echo "$case: skipped (no device node can be made here)"; skipped=$((skipped + 1)); return
    fi
    [ "$rc" = "$status" ] || problem "exit status $rc, expected $status; standard error: $(cat -v "$root/$case.err")"
    [ ! -s "$root/$case.out" ] || problem "printed on standard output: $(cat -v "$root/$case.out")"
    ! raw_control "$root/$case.err" || problem "a raw control character on standard error"
    local found
    found=$(find "$dir" \( -name EXECUTED -o -name '*tonalyx-plot.*' \) -printf '%f ')
    [[ $found != *EXECUTED* ]] && [ ! -e "$root/EXECUTED" ] || problem "a command in a name ran"
    [[ $found != *tonalyx-plot.* ]] || problem "left behind: $(cat -v <<<"$found")"

    local target=$dir/$out
    case $after in
    picture) [ -f "$target" ] && [ ! -L "$target" ] && cmp -s -n 8 "$root/signature" "$target" &&
             tail -c 12 "$target" | cmp -s "$root/end" - || problem "no whole PNG at the output" ;;
    old) cmp -s "$target" "$root/old" || problem "the old picture was not kept" ;;
    absent) [ ! -e "$target" ] && [ ! -L "$target" ] || problem "an output was made" ;;
    symlink) [ -L "$target" ] && { [ ! -e "$target" ] || cmp -s "$target" "$root/old"; } ||
             problem "the symlink or what it leads to changed" ;;
    device) [ -c "$target" ] || problem "the device node was replaced" ;;
    folder) [ -d "$target" ] && [ -z "$(ls -A "$target")" ] || problem "the folder was replaced or written into" ;;
    fifo) [ -p "$target" ] || problem "the FIFO was replaced" ;;
    *) problem "unknown AFTER $after" ;;
    esac
    if [ "$title" != - ]; then
        local got
        got=$(cat "$root/$case.title" 2>/dev/null)
        # The name ends the title's first line with --hz.
        [[ $options == *--hz* ]] && got=${got%%$'\n'*} || got=${got%%: the first 300 slots *}
        [ "$got" = "$title" ] || problem "title $(cat -v <<<"$got"), expected $title"
    fi
}

# shellcheck source=plot_hostile.table
source "$(dirname "$0")/plot_hostile.table"
[ "$count" -ge 20 ] || { echo "only $count rows read"; exit 1; }
echo "$count hostile plot cases, $skipped skipped"
exit $failed
