#!/usr/bin/env bash
# The library as a consumer meets it: from the install of BUILD_DIR in
# PREFIX (the shared install tree), a program is built against it through
# the CMake package (C++ and C interfaces) and through pkg-config, and
# runs. Then a shared build: the library has its SONAME and exports the API
# and nothing else.
#   check_library.sh BUILD_DIR SOURCE_DIR PREFIX
set -eu
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) prefix=$(cd "$3" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
example=$build/examples/tone440.wav
. "$source/tests/install/consumer_check.sh"

# Static, from the build under test.
build_consumer "$scratch/consumer-static" -DCMAKE_PREFIX_PATH="$prefix"
run_consumer "$scratch/consumer-static" "$example"
if command -v pkg-config >/dev/null; then
    flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --static --cflags --libs tonalyx)
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
build_consumer "$scratch/consumer-shared" -DCMAKE_PREFIX_PATH="$scratch/shared"
run_consumer "$scratch/consumer-shared" "$example"
ldd "$scratch/consumer-shared/consumer_c" | grep -q "libtonalyx.so.1 => $scratch/shared/lib/" ||
    { echo "the shared consumer does not load the installed library"; exit 1; }
echo "library checked: static, pkg-config and shared consumers"
