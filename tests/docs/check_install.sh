#!/usr/bin/env bash
# The install of BUILD_DIR in PREFIX (the shared install tree): the tool,
# its helpers and their man pages must be there, and the installed tool
# and batch runner must run (the runner finding the tool beside it), and
# each shell finds the completions where it looks under the prefix. Then,
# where dpkg-deb is installed, builds the Debian package twice, in two
# clean build folders from the same sources: the two must have the same
# bytes, hold what the install holds, load nothing but the C library, and
# pass lintian (when installed) with nothing to report.
#   check_install.sh BUILD_DIR SOURCE_DIR PREFIX
set -eu
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) prefix=$(cd "$3" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
commands="tonalyx tonalyx-batch tonalyx-plot tonalyx-parallel"

for command in $commands; do
    test -x "$prefix/bin/$command"
    page=$prefix/share/man/man1/$command.1.gz
    gzip -dc "$page" | grep -q "^\.TH $(tr a-z- A-Z- <<<"$command") 1"
    if command -v man >/dev/null; then MANPATH="$prefix/share/man:" man -w "$command" | grep -qxF "$page"; fi
done
grep -q '^License: Expat$' "$prefix/share/doc/tonalyx/copyright"
status=0
"$prefix/bin/tonalyx" > "$scratch/usage.txt" || status=$?
test "$status" = 255
grep -q 'V1.0$' "$scratch/usage.txt"
cp "$build/examples/tone440.wav" "$scratch/a.wav"
# The completions: bash-completion's loader and fish look in
# XDG_DATA_DIRS, zsh's compinit in fpath (site-functions for a prefix but
# /usr).
for command in $commands; do
    if [ -f /usr/share/bash-completion/bash_completion ]; then
        XDG_DATA_DIRS=$prefix/share bash --norc -c \
            'source /usr/share/bash-completion/bash_completion; __load_completion "$1" && complete -p "$1"' - "$command" |
            grep -q -- "-F _tonalyx" || { echo "bash-completion does not load the completion of $command"; exit 1; }
    fi
    if command -v zsh >/dev/null; then
        zsh -f -c 'fpath=($1/share/zsh/site-functions $fpath); autoload -U compinit; compinit -D; print -r -- $_comps[$2]' - "$prefix" "$command" |
            grep -qx _tonalyx || { echo "zsh does not find the completion of $command"; exit 1; }
    fi
done
if command -v fish >/dev/null; then
    got=$(HOME=$scratch XDG_DATA_DIRS=$prefix/share:/usr/share PATH=$prefix/bin:$PATH fish -c 'complete -C"tonalyx-batch --format "' | cut -f1 | sort | tr '\n' ' ')
    [ "$got" = "csv jsonl tsv " ] || { echo "fish does not find the completion of tonalyx-batch: $got"; exit 1; }
fi
table=$(env -u TONALYX PATH=/usr/bin:/bin "$prefix/bin/tonalyx-batch" --expect 440 "$scratch/a.wav")
test "$table" = "$(printf 'file\tstatus\tfreq\tresult\tverdict\n%s\t0\t440\t0.497611\tok' "$scratch/a.wav")"

command -v dpkg-deb >/dev/null || { echo "install checked (no dpkg-deb: no package built)"; exit 0; }
for folder in first "second build"; do
    cmake -S "$source" -B "$scratch/$folder" -DTONALYX_LINKING=static-runtime -DTONALYX_PYTHON=OFF -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$scratch/$folder" -j2 >/dev/null
    (cd "$scratch/$folder" && cpack -G DEB >/dev/null)
done
deb=$(echo "$scratch"/first/tonalyx_*_*.deb)
cmp "$deb" "$scratch/second build/$(basename "$deb")" || { echo "two builds gave different packages"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for command in $commands; do
    grep -q "\./usr/bin/$command\$" <<<"$contents"
    grep -q "\./usr/share/man/man1/$command\.1\.gz\$" <<<"$contents"
    grep -q "\./usr/share/bash-completion/completions/$command\$" <<<"$contents"
    grep -q "\./usr/share/fish/vendor_completions.d/$command\.fish\$" <<<"$contents"
done
grep -q '\./usr/share/zsh/vendor-completions/_tonalyx$' <<<"$contents"
grep -q '\./usr/share/doc/tonalyx/copyright$' <<<"$contents"
grep -q '\./usr/share/doc/tonalyx/changelog\.gz$' <<<"$contents"
dpkg-deb -f "$deb" Recommends | grep -qx 'gnuplot-nox'
test "$(dpkg-deb -f "$deb" Version)" = "$(sed -n 's/^project(tonalyx VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")"
dpkg-deb -x "$deb" "$scratch/unpacked"
needed=$(readelf -d "$scratch/unpacked/usr/bin/tonalyx" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
[[ $needed =~ ^((libc|libm)\.so\.6\ |ld-linux[-a-z0-9_.]*\.so\.[0-9]\ )+$ ]] || { echo "the packed tool loads: $needed"; exit 1; }
# The packed runner finds the packed tool beside it.
env -u TONALYX PATH=/usr/bin:/bin "$scratch/unpacked/usr/bin/tonalyx-batch" "$scratch/a.wav" | grep -q "	ok$"

if command -v lintian >/dev/null; then
    report=$(lintian "$deb" 2>/dev/null) || { echo "lintian failed:"; echo "$report"; exit 1; }
    [ -z "$report" ] || { echo "lintian reports:"; echo "$report"; exit 1; }
    echo "install and package checked, lintian clean"
else
    echo "install and package checked (lintian not installed)"
fi
