#!/usr/bin/env bash
# Installs into a scratch prefix and builds the Debian package: both must
# hold the tool and its man page, and the installed tool must run.
#   check_install.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/tonalyx"
grep -q '^\.TH TONALYX 1' "$prefix/share/man/man1/tonalyx.1"
status=0
"$prefix/bin/tonalyx" > "$prefix/usage.txt" || status=$?
test "$status" = 255
grep -q 'V1.0$' "$prefix/usage.txt"

if command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$prefix/package" >/dev/null)
    contents=$(dpkg-deb -c "$prefix"/package/tonalyx_*.deb)
    grep -q '\./usr/bin/tonalyx$' <<<"$contents"
    grep -q '\./usr/share/man/man1/tonalyx\.1$' <<<"$contents"
fi
echo "install and package checked"
