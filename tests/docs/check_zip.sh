#!/usr/bin/env bash
# The Windows zip holds the tool, the batch tool, the README and the license, in a folder
# named after the version.
#   check_zip.sh BUILD_DIR VERSION
set -eu
build=$(cd "$1" && pwd) version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G ZIP -B "$out" >/dev/null)
zip=$out/tonalyx-$version-win64.zip
listing=$(cmake -E tar tf "$zip" | sort)
want=$(for file in LICENSE README.md tonalyx-batch.exe tonalyx.exe; do echo "tonalyx-$version-win64/$file"; done)
[ "$listing" = "$want" ] || { echo "the zip holds:"; echo "$listing"; exit 1; }
echo "zip checked"
