#!/usr/bin/env bash
# The Debian source package, built by packaging/build-debian.sh from a
# clean copy of the tree: tonalyx holds the tools and their man pages and
# its tools load no C++ runtime; libtonalyx-dev builds a C program through
# pkg-config; python3-tonalyx imports and measures; the version is the
# project's; lintian on the .changes reports no error and no warning.
#   check_debian_source.sh BUILD_DIR SOURCE_DIR
set -eu
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
command -v dpkg-buildpackage >/dev/null || { echo "skip: dpkg-buildpackage is not installed"; exit 77; }
if ! missing=$(dpkg-checkbuilddeps "$source/packaging/debian/control" 2>&1); then
    echo "skip: $missing"; exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
example=$build/examples/tone440.wav

fail() { echo "FAIL: $*"; exit 1; }

if ! "$source/packaging/build-debian.sh" "$scratch/out" > "$scratch/log" 2>&1; then
    tail -40 "$scratch/log"; fail "dpkg-buildpackage failed"
fi
version=$(sed -n 's/^project(tonalyx VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
for package in tonalyx libtonalyx-dev python3-tonalyx; do
    deb=$(echo "$scratch/out/${package}_${version}-"*_*.deb)
    [ -f "$deb" ] || fail "no $package $version package: $(ls "$scratch/out")"
    dpkg-deb -x "$deb" "$scratch/root"
done
root=$scratch/root

for command in tonalyx tonalyx-batch tonalyx-plot tonalyx-parallel; do
    [ -x "$root/usr/bin/$command" ] || fail "no $command"
    gzip -dc "$root/usr/share/man/man1/$command.1.gz" | grep -q "^\.TH $(tr a-z- A-Z- <<<"$command") 1" ||
        fail "no man page for $command"
done
for command in tonalyx tonalyx-batch; do
    needed=$(readelf -d "$root/usr/bin/$command" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
    [[ $needed =~ ^((libc|libm)\.so\.6\ |ld-linux[-a-z0-9_.]*\.so\.[0-9]\ )+$ ]] || fail "$command loads $needed"
    readelf -l "$root/usr/bin/$command" | grep -q INTERP || fail "$command is linked statically"
done
table=$(env -u TONALYX PATH=/usr/bin:/bin "$root/usr/bin/tonalyx-batch" --expect 440 "$example")
[ "$table" = "$(printf 'file\tstatus\tfreq\tresult\tverdict\n%s\t0\t440\t0.497611\tok' "$example")" ] ||
    fail "the packed tonalyx-batch printed: $table"

flags=$(PKG_CONFIG_PATH=$(echo "$root"/usr/lib/*/pkgconfig) pkg-config --static --cflags --libs tonalyx)
# shellcheck disable=SC2086  # the flags are words
cc -o "$scratch/consumer" "$source/tests/install/consumer/consumer.c" $flags
[ "$("$scratch/consumer" "$example")" = "bestResult=0.500232 best matching freq.=440 46 $version 1"$'\n''no-report []' ] ||
    fail "the C consumer printed: $("$scratch/consumer" "$example")"
[ -f "$(echo "$root"/usr/lib/*/cmake/tonalyx/tonalyxConfig.cmake)" ] || fail "no CMake package"

PYTHONPATH=$root/usr/lib/python3/dist-packages /usr/bin/python3 -c '
import sys, tonalyx
assert tonalyx.__file__.startswith(sys.argv[1]), tonalyx.__file__
assert tonalyx.measure(sys.argv[2]).tone == 440
' "$root" "$example" || fail "the packed module"

# What an install has of the shells' completions is packed too.
cmake --install "$build" --prefix "$scratch/installed" >/dev/null
for folder in share/bash-completion/completions share/zsh/vendor-completions share/fish/vendor_completions.d; do
    [ ! -d "$scratch/installed/$folder" ] || [ "$(ls "$scratch/installed/$folder")" = "$(ls "$root/usr/$folder")" ] ||
        fail "the package's $folder differs from the install's"
done

status=0
report=$(lintian --fail-on error,warning "$scratch/out"/*.changes 2>&1) || status=$?
report=$(grep -v '^running with root privileges' <<<"$report" || true)
[ "$status" = 0 ] && [ -z "$report" ] || fail "lintian (status $status) reports: $report"
echo "Debian packages built and checked, lintian without errors and warnings; pedantic and info tags:"
lintian --pedantic -I "$scratch/out"/*.changes 2>/dev/null | sed 's/^/  /'
exit 0
