#!/usr/bin/env bash
# Installs into a scratch prefix and builds the Debian package: both must
# hold the tool, its helpers and their man pages, and the installed tool
# and batch runner must run (the runner finding the tool beside it).
#   check_install.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for command in tonalyx tonalyx-batch tonalyx-plot; do
    test -x "$prefix/bin/$command"
    page=$prefix/share/man/man1/$command.1
    grep -q "^\.TH $(tr a-z A-Z <<<"$command") 1" "$page"
    if command -v man >/dev/null; then MANPATH="$prefix/share/man:" man -w "$command" | grep -qxF "$page"; fi
done
status=0
"$prefix/bin/tonalyx" > "$prefix/usage.txt" || status=$?
test "$status" = 255
grep -q 'V1.0$' "$prefix/usage.txt"
cp "$build/examples/tone440.wav" "$prefix/a.wav"
table=$(env -u TONALYX PATH=/usr/bin:/bin "$prefix/bin/tonalyx-batch" --expect 440 "$prefix/a.wav")
test "$table" = "$(printf 'file\tstatus\tfreq\tresult\tverdict\n%s\t0\t440\t0.497611\tok' "$prefix/a.wav")"

if command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$prefix/package" >/dev/null)
    deb=$(echo "$prefix"/package/tonalyx_*.deb)
    contents=$(dpkg-deb -c "$deb")
    for command in tonalyx tonalyx-batch tonalyx-plot; do
        grep -q "\./usr/bin/$command\$" <<<"$contents"
        grep -q "\./usr/share/man/man1/$command\.1" <<<"$contents"
    done
    dpkg-deb -f "$deb" Recommends | grep -qx 'gnuplot-nox'
    # The packed runner finds the packed tool beside it.
    dpkg-deb -x "$deb" "$prefix/unpacked"
    env -u TONALYX PATH=/usr/bin:/bin "$prefix/unpacked/usr/bin/tonalyx-batch" "$prefix/a.wav" | grep -q "	ok$"
fi
echo "install and package checked"
