#!/usr/bin/env bash
# Builds the Debian packages from source as a distribution would: a clean
# copy of the tree (the files git knows, or outside git the tree without
# build folders) with packaging/debian as debian/, then
# `dpkg-buildpackage -us -uc -b`. The .deb, .ddeb, .buildinfo and .changes
# files land in OUT_DIR.
#
#   packaging/build-debian.sh OUT_DIR
#
# DEB_BUILD_OPTIONS defaults to parallel=2; nocheck leaves out the tests.
set -euo pipefail
[ $# = 1 ] || { echo "usage: packaging/build-debian.sh OUT_DIR" >&2; exit 2; }
source=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
upstream=$(dpkg-parsechangelog -l "$source/packaging/debian/changelog" -S Version)
upstream=${upstream%-*}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tonalyx-$upstream
mkdir "$tree"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # Committed or not, but nothing that git ignores (build folders).
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$tree" -xf -
else
    tar -C "$source" --exclude='./build*' --exclude=./debian --exclude=./obj-* -cf - . | tar -C "$tree" -xf -
fi
rm -rf "$tree/debian"
cp -r "$tree/packaging/debian" "$tree/debian"
(cd "$tree" && DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-parallel=2} dpkg-buildpackage -us -uc -b)
for file in "$work"/*.deb "$work"/*.ddeb "$work"/*.buildinfo "$work"/*.changes; do
    [ ! -e "$file" ] || mv "$file" "$out/"
done
