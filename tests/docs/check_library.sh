#!/usr/bin/env bash
# The library as a consumer meets it: installed from BUILD_DIR into a
# scratch prefix, a program is built against it through the CMake package
# (C++ and C interfaces) and through pkg-config, and runs. Then a shared
# build: the library has its SONAME and exports the API and nothing else.
#   check_library.sh BUILD_DIR SOURCE_DIR
set -eu
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
example=$build/examples/tone440.wav

expect() {  # what, wanted, got
    [ "$2" = "$3" ] || { printf '%s:\nwanted: %s\ngot:    %s\n' "$1" "$2" "$3"; exit 1; }
}
want_cpp=$'bestResult=0.497611 best matching freq.=440 ok 46\ncannot-open ERROR: Inp.wave file not found: no-such.wav'
want_c=$'bestResult=0.500232 best matching freq.=440 46 1.0 1\nno-report []'

consume() {  # prefix, folder
    cmake -S "$source/tests/install/consumer" -B "$2" -DCMAKE_PREFIX_PATH="$1" >/dev/null
    cmake --build "$2" >/dev/null
    expect "C++ consumer ($2)" "$want_cpp" "$(cd "$scratch" && "$2/consumer_cpp" "$example")"
    expect "C consumer ($2)" "$want_c" "$("$2/consumer_c" "$example")"
}

# Static, from the build under test.
cmake --install "$build" --prefix "$scratch/static" --component development >/dev/null
consume "$scratch/static" "$scratch/consumer-static"
if command -v pkg-config >/dev/null; then
    flags=$(PKG_CONFIG_PATH="$scratch/static/lib/pkgconfig" pkg-config --static --cflags --libs tonalyx)
    # shellcheck disable=SC2086
    cc -o "$scratch/consumer_pc" "$source/tests/install/consumer/consumer.c" $flags
    expect "C consumer (pkg-config)" "$want_c" "$("$scratch/consumer_pc" "$example")"
fi

# Shared: only the library is built.
cmake -S "$source" -B "$scratch/shared-build" -DBUILD_SHARED_LIBS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$scratch/shared-build" -j2 --target tonalyx_core >/dev/null
cmake --install "$scratch/shared-build" --prefix "$scratch/shared" --component development >/dev/null
library=$(echo "$scratch"/shared/lib/libtonalyx.so.*.*)
soname=$(readelf -d "$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
expect "SONAME" "libtonalyx.so.1" "$soname"
# Every exported symbol is a C function of the API: no C++ name.
others=$(nm -D --defined-only "$library" | awk '{print $3}' | grep -v '^tonalyx_' || true)
expect "symbols outside the C API" "" "$others"
consume "$scratch/shared" "$scratch/consumer-shared"
ldd "$scratch/consumer-shared/consumer_c" | grep -q "libtonalyx.so.1 => $scratch/shared/lib/" ||
    { echo "the shared consumer does not load the installed library"; exit 1; }
echo "library checked: static, pkg-config and shared consumers"
