#!/usr/bin/env bash
# The shell completions of tonalyx, tonalyx-batch and tonalyx-plot.
#   - bash, sourced alone and after bash-completion (when installed): each
#     row of the table below is a command line whose last word is
#     completed, with what must be offered;
#   - every option in each man page's SYNOPSIS is offered after "-";
#   - fish (when installed): the same candidates, formats and names;
#   - zsh (when installed): the file parses.
#   check_completion.sh SOURCE_DIR
set -u
source=$(cd "$1" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir "$root/files" && cd "$root/files" && mkdir sub 'a folder' && touch a.wav B.WAV 'with space.wav' notes.txt pic.png sub/c.wav
candidates=$(seq 100 20 1000 | tr '\n' ,)none
wavs='B.WAV,a folder,a.wav,sub,with space.wav'

# LINE (completed at its end) | what is offered, in any order, by commas
table=$(cat <<TABLE
tonalyx -i |$wavs
tonalyx -i s|sub
tonalyx -length |
tonalyx -hz -i a.wav -seg|-segments
tonalyx-batch |$wavs
tonalyx-batch --expect |$candidates
tonalyx-batch --expect 9|900,920,940,960,980
tonalyx-batch --format |csv,jsonl,tsv
tonalyx-batch --expect-from |$wavs,notes.txt,pic.png
tonalyx-batch --min-purity |
tonalyx-batch --hz --no|--no-progress
tonalyx-batch -- -|
tonalyx-batch -- --format |$wavs
tonalyx-plot |$wavs
tonalyx-plot --|--,--help,--hz
tonalyx-plot --hz --|--
tonalyx-plot --hz -- --|
tonalyx-plot a.wav |a folder,pic.png,sub
tonalyx-plot --hz a.wav |a folder,pic.png,sub
tonalyx-plot a.wav pic.png |
tonalyx-plot a.wav --|
TABLE
)

# The synopsis's options of a man page, one a line.
synopsisOptions() {
    sed -n '/^\.SH SYNOPSIS/,/^\.SH DESCRIPTION/p' "$source/docs/$1.1" |
        grep -o '\\-[-a-z\\]*' | sed 's/\\//g' | grep -vx -- '--' | sort -u
}

cat > "$root/drive.sh" <<'DRIVE'
# complete LINE: what the registered function offers for the last word of
# LINE (words split at spaces), sorted, one a line.
complete_line() {
    local line=$1 function
    COMP_WORDS=()
    while read -r -d ' ' word; do COMP_WORDS+=("$word"); done <<<"$line "
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$line COMP_POINT=${#line}
    function=$(complete -p "${COMP_WORDS[0]}") || return 1
    [[ $function =~ -F\ ([^ ]+) ]] || return 1
    COMPREPLY=()
    "${BASH_REMATCH[1]}" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
}
DRIVE

failed=0 count=0
problem() { echo "$*"; failed=1; }
# check SHELL_NAME COMPLETER: runs every row through COMPLETER LINE.
check() {
    local shell=$1 completer=$2 line want got command
    while IFS='|' read -r line want; do
        count=$((count + 1))
        want=$(tr , '\n' <<<"$want" | sed '/^$/d' | sort)
        got=$($completer "$line")
        [ "$got" = "$want" ] || problem "$shell: '$line' offered [$(echo $got)], expected [$(echo $want)]"
    done <<<"$table"
    for command in tonalyx tonalyx-batch tonalyx-plot; do
        got=$($completer "$command -")
        for option in $(synopsisOptions "$command"); do
            grep -qxF -- "$option" <<<"$got" || problem "$shell: $command's $option is not offered"
        done
    done
}

bashAlone() { bash --norc -c 'source "$1"; source "$2"; complete_line "$3"' - "$source/completions/bash/tonalyx" "$root/drive.sh" "$1"; }
check bash bashAlone
loader=/usr/share/bash-completion/bash_completion
if [ -f "$loader" ]; then
    bashLoaded() { bash --norc -c 'source "$1"; source "$2"; source "$3"; complete_line "$4"' - "$loader" "$source/completions/bash/tonalyx" "$root/drive.sh" "$1"; }
    check "bash with bash-completion" bashLoaded
else
    echo "bash-completion not installed: its loader not tried"
fi

if command -v fish >/dev/null; then
    # fish lists the matching files first, then all (as fish does).
    fishLine() {
        fish --no-config -c 'for f in $argv[1]/*.fish; source $f; end; complete -C$argv[2]' "$source/completions/fish" "$1" |
            cut -f1 | sed 's|/$||;s/\\ / /g' | sort
    }
    fishRows=$(grep -E -- '^tonalyx-batch --(expect|format) |^tonalyx -length|--min-purity' <<<"$table")
    table=$fishRows check fish fishLine
    fish --no-execute "$source"/completions/fish/*.fish || problem "fish: a file does not parse"
else
    echo "fish not installed: its completions not tried"
fi
if command -v zsh >/dev/null; then
    zsh -n "$source/completions/zsh/_tonalyx" || problem "zsh: _tonalyx does not parse"
else
    echo "zsh not installed: its completion not parsed"
fi
echo "$count completions checked"
exit $failed
