#!/usr/bin/env bash
# Runs every command of the README's console blocks ("$ " lines) and compares
# what it prints with the lines shown under it (time=N masked).
#   check_readme.sh BUILD_DIR README.md
set -u
build=$(cd "$1" && pwd) readme=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build" "$work/build"

# Splits the blocks into work/N.cmd and work/N.want.
awk -v dir="$work" '
    /^```console$/ { inside = 1; next }
    /^```$/ { inside = 0; next }
    inside && /^\$ / { n++; print substr($0, 3) > (dir "/" n ".cmd"); printf "" > (dir "/" n ".want"); next }
    inside { print > (dir "/" n ".want") }
' "$readme"

failed=0 count=0
for cmd in "$work"/*.cmd; do
    count=$((count + 1))
    want=${cmd%.cmd}.want
    (cd "$work" && bash -c "$(cat "$cmd")" 2>&1) | sed 's/^time=[0-9]*$/time=*/' > "$work/got"
    if ! diff -u <(sed 's/^time=[0-9]*$/time=*/' "$want") "$work/got"; then
        echo "README example differs: $(cat "$cmd")"
        failed=1
    fi
done
[ "$count" -gt 0 ] || { echo "no console examples found"; exit 1; }
echo "$count README examples checked"
exit $failed
