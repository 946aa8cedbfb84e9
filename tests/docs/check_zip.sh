#!/usr/bin/env bash
# The Windows zip holds, in a folder named after the version, the tool, the
# batch tool, the README and the license, and the library as the
# development component installs it: the headers, the static library, the
# CMake package and the .pc file. The consumer programs, built against the
# unpacked zip with the build's toolchain, run (under EMULATOR) and give
# their answers.
#   check_zip.sh BUILD_DIR VERSION SOURCE_DIR TOOLCHAIN [EMULATOR...]
set -eu
build=$(cd "$1" && pwd) version=$2 source=$(cd "$3" && pwd) toolchain=$4
shift 4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
. "$source/tests/install/consumer_check.sh"

(cd "$build" && cpack -G ZIP -B "$out" >/dev/null)
folder=tonalyx-$version-win64 zip=$out/tonalyx-$version-win64.zip
cmake --install "$build" --prefix "$out/development" --component development >/dev/null
library=$(cd "$out/development" && find . -type f | sed 's|^\./||')
for part in include/tonalyx/tonalyx.h include/tonalyx/tonalyx.hpp lib/libtonalyx.a \
    lib/cmake/tonalyx/tonalyxConfig.cmake lib/pkgconfig/tonalyx.pc; do
    grep -qxF "$part" <<<"$library" || { echo "the development component lacks $part"; exit 1; }
done
listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)  # files, not folders
want=$(printf '%s\n' LICENSE README.md tonalyx-batch.exe tonalyx.exe "$library" | sed "s|^|$folder/|" | sort)
[ "$listing" = "$want" ] || { echo "the zip holds:"; echo "$listing"; echo "wanted:"; echo "$want"; exit 1; }

(cd "$out" && cmake -E tar xf "$zip")
# Linked statically, as the tools are, so that no runtime library is
# looked for under the emulator.
build_consumer "$out/consumer" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -Dtonalyx_DIR="$out/$folder/lib/cmake/tonalyx" -DCMAKE_EXE_LINKER_FLAGS=-static
run_consumer "$out/consumer" "$build/examples/tone440.wav" "$@"
echo "zip checked, its library consumed"
