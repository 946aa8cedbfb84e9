#!/usr/bin/env bash
# Installs what .ci/run needs and this machine lacks (Debian packages),
# with one `apt-get update` when anything is missing: the cross
# toolchains and their runners, GoogleTest, the package checker, gnuplot,
# the Python module's build and tests, the WebAssembly build and the
# page's browser test, and clang with libFuzzer for the fuzz smoke.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null; }
python_has() { /usr/bin/python3 -c "import $1" 2>/dev/null; }

have qemu-aarch64 || need+=(qemu-user)
have aarch64-linux-gnu-g++ || need+=(g++-aarch64-linux-gnu)
have x86_64-w64-mingw32-g++ || need+=(g++-mingw-w64-x86-64)
have wine || need+=(wine wine64)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have lintian || need+=(lintian)
have pkg-config || need+=(pkg-config)
have gnuplot || need+=(gnuplot-nox)
# The Python module and its tests, for Debian's interpreter.
[ -f /usr/include/pybind11/pybind11.h ] || need+=(pybind11-dev)
/usr/bin/python3 -c 'import sysconfig, os, sys; sys.exit(not os.path.exists(sysconfig.get_path("include") + "/Python.h"))' 2>/dev/null ||
    need+=(python3-dev)
python_has pytest || need+=(python3-pytest)
python_has numpy || need+=(python3-numpy)
# The WebAssembly build and the page's browser test.
have em++ || need+=(emscripten)
[ -f /usr/share/nodejs/acorn/package.json ] || need+=(node-acorn)
have chromium || need+=(chromium)
have chromedriver || need+=(chromium-driver)
python_has selenium || need+=(python3-selenium)
# The shell completions' tests: bash-completion's loader, zsh and fish.
[ -f /usr/share/bash-completion/bash_completion ] || need+=(bash-completion)
have zsh || need+=(zsh)
have fish || need+=(fish)
# The reader against its peers, and its memory under /usr/bin/time.
have sox || need+=(sox)
have sndfile-convert || need+=(sndfile-programs)
python_has scipy || need+=(python3-scipy)
python_has soundfile || need+=(python3-soundfile)
[ -x /usr/bin/time ] || need+=(time)
# A decimal-comma locale's definition (localedef makes it for the tests
# when none is installed): the library's text must not change under it.
[ -d /usr/share/i18n/locales ] || need+=(locales)
# The measurement's speech cases (skipped without it).
have espeak-ng || need+=(espeak-ng)
# Beyond one machine: the Python batch on a Dask cluster, the batch split
# over GNU parallel's jobs, and the Debian source package (a long test).
python_has distributed || need+=(python3-distributed)
have parallel || need+=(parallel)
have dpkg-buildpackage || need+=(dpkg-dev)
have dh || need+=(debhelper)
have dh_python3 || need+=(dh-python)
# The fuzz targets: clang (as clang++, which fuzz/run.sh looks for first)
# and its libFuzzer runtime.
have clang++ || need+=(clang)
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || need+=(libclang-rt-14-dev)

[ ${#need[@]} -gt 0 ] || exit 0
if [ "$(id -u)" != 0 ]; then
    echo "ci-deps: missing, and only root installs them: ${need[*]}" >&2
    exit 1
fi
echo "ci-deps: installing ${need[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
