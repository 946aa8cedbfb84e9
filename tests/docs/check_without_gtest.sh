#!/usr/bin/env bash
# The README's first command (build the tool and its examples, measure
# one) on a machine without GoogleTest: configuring must not fail, it must
# say that the unit tests are left out, and the example must hold 440.
#   check_without_gtest.sh SOURCE_DIR
set -eu
source=$(cd "$1" && pwd)
build=$(mktemp -d) log=$(mktemp)
trap 'rm -rf "$build" "$log"' EXIT
cmake -S "$source" -B "$build" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON > "$log" 2>&1 ||
    { cat "$log"; echo "configuring without GoogleTest failed"; exit 1; }
grep -q 'GoogleTest not found: the unit tests are left out' "$log" ||
    { cat "$log"; echo "no word that the unit tests are left out"; exit 1; }
cmake --build "$build" -j2 --target tonalyx examples > /dev/null
answer=$("$build/tonalyx" -hz -i "$build/examples/tone440.wav" | sed -n 's/^tone=\([a-z0-9]*\) .*/\1/p')
[ "$answer" = 440 ] || { echo "the example gave '$answer'"; exit 1; }
# Only the cases that need no GoogleTest are registered.
tests=$(ctest --test-dir "$build" -N)
grep -q 'e2e\.' <<<"$tests" || { echo "the end-to-end cases are missing"; exit 1; }
! grep -qE 'FuzzInputs|ExactStep' <<<"$tests" || { echo "unit tests registered without GoogleTest"; exit 1; }
echo "first command checked without GoogleTest"
