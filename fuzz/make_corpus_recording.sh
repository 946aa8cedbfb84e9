#!/usr/bin/env bash
# Writes the seed corpus of the recording reader's fuzz target into
# fuzz/corpus-recording: small WAVE files of each sample format (integers
# of odd depths, floats, G.711), the extensible layout, RIFX, RF64 and BW64,
# chunks in odd places, unknown data lengths, a blockAlign that disagrees,
# and (named bad-*) files the reader refuses.
#   fuzz/make_corpus_recording.sh
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/corpus-recording
rm -f "$out"/*.wav
mkdir -p "$out"

# Fields as printf escapes, little-endian unless big=1 (RIFX).
big=0
le16() {
    local lo=$(( $1 & 255 )) hi=$(( ($1 >> 8) & 255 ))
    if [ $big = 1 ]; then printf '\\x%02x\\x%02x' $hi $lo; else printf '\\x%02x\\x%02x' $lo $hi; fi
}
le32() {
    local lo hi
    lo=$(le16 $(( $1 & 65535 ))) hi=$(le16 $(( ($1 >> 16) & 65535 )))
    if [ $big = 1 ]; then printf '%s%s' "$hi" "$lo"; else printf '%s%s' "$lo" "$hi"; fi
}
# chunk ID PAYLOAD-ESCAPES [DECLARED-SIZE]: the chunk, padded to even.
chunk() {
    local size
    size=$(printf "$2" | wc -c)
    printf '%s' "$1"
    printf "$(le32 "${3:-$size}")"
    printf "$2"
    if (( size % 2 )); then printf '\x00'; fi
}
# riff TAG CHUNKS...: the file, its RIFF size from what follows.
riff() {
    local tag=$1 body
    shift
    body=$(mktemp)
    { printf 'WAVE'; for c in "$@"; do cat "$c"; done; } > "$body"
    printf '%s' "$tag"
    printf "$(le32 "$(wc -c < "$body")")"
    cat "$body"
    rm -f "$body"
}
# fmt TAG CHANNELS RATE BITS [EXTRA-ESCAPES [BLOCK-ALIGN]]
fmt() {
    local align=${6:-$(( $2 * (($4 + 7) / 8) ))}
    chunk 'fmt ' "$(le16 "$1")$(le16 "$2")$(le32 "$3")$(le32 $(( $3 * align )))$(le16 $align)$(le16 "$4")${5:-}"
}
guid() { printf '%s%s%s\\x80\\x00\\x00\\xaa\\x00\\x38\\x9b\\x71' "$(le32 "$1")" "$(le16 0)" "$(le16 16)"; }
# extensible CHANNELS RATE CONTAINER VALID SUBTAG
extensible() { fmt 65534 "$1" "$2" "$3" "$(le16 22)$(le16 "$4")$(le32 3)$(guid "$5")"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tone16='\x00\x00\xff\x3f\xff\x7f\xff\x3f\x00\x00\x01\xc0\x01\x80\x01\xc0'
seed() {  # name, then the chunk files
    local name=$1
    shift
    riff RIFF "$@" > "$out/$name.wav"
}
c() {  # a chunk into a numbered work file; prints its name
    local file=$work/$RANDOM$RANDOM
    "$@" > "$file"
    echo "$file"
}

seed u8 "$(c fmt 1 1 8000 8)" "$(c chunk data '\x80\xc0\xff\xc0\x80\x40\x00\x40')"
seed s16 "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16")"
seed s24 "$(c fmt 1 1 8000 24)" "$(c chunk data '\x00\x00\x00\xff\xff\x7f\x00\x00\x00\x01\x00\x80')"
seed s32 "$(c fmt 1 1 8000 32)" "$(c chunk data '\x00\x00\x00\x00\xff\xff\xff\x7f\x00\x00\x00\x80\x00\x00\x00\x40')"
seed f32 "$(c fmt 3 1 8000 32)" "$(c chunk data '\x00\x00\x00\x00\x00\x00\x80\x3f\x00\x00\x00\x00\x00\x00\x80\xbf\x00\x00\xc0\x7f')"
seed f64 "$(c fmt 3 1 8000 64)" "$(c chunk data '\x00\x00\x00\x00\x00\x00\xf0\x3f\x00\x00\x00\x00\x00\x00\xf0\xbf')"
seed stereo-s16-fmt18 "$(c fmt 1 2 44100 16 '\x00\x00')" "$(c chunk data "$tone16")"
seed extensible-24-in-32 "$(c extensible 2 48000 32 24 1)" "$(c chunk data '\x00\x00\x00\x40\x00\x00\x00\xc0')"
seed extensible-float "$(c extensible 1 48000 32 32 3)" "$(c chunk data '\x00\x00\x00\x3f\x00\x00\x00\xbf')"
seed chunks-around "$(c chunk LIST 'INFOISFT\x03\x00\x00\x00ab\x00')" "$(c fmt 1 1 8000 16)" \
    "$(c chunk JUNK '\x00\x00\x00\x00')" "$(c chunk fact '\x04\x00\x00\x00')" "$(c chunk 'odd ' 'abc')" \
    "$(c chunk data "$tone16")" "$(c chunk LIST 'INFOtail')"
seed length-0 "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16" 0)"
seed length-all-ones "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16" 4294967295)"
seed length-pipe "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16" 2147479552)"
seed length-partial-frame "$(c fmt 1 2 8000 16)" "$(c chunk data "$tone16" 14)"
# Its ds64 chunk gives 8 data bytes of the 16 that follow.
riff RF64 "$(c chunk ds64 "$(le32 0)$(le32 0)$(le32 8)$(le32 0)$(le32 4)$(le32 0)$(le32 0)")" \
    "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16" 4294967295)" > "$out/rf64.wav"

seed bad-tag-0x0055 "$(c fmt 85 1 8000 16)" "$(c chunk data "$tone16")"
seed bad-72-bits "$(c fmt 1 1 8000 72)" "$(c chunk data "$tone16")"
seed bad-valid-above-container "$(c extensible 1 8000 16 24 1)" "$(c chunk data "$tone16")"
junk=()
for i in $(seq 1 1000); do junk+=("$work/empty"); done
chunk JUNK '' > "$work/empty"
seed bad-too-many-chunks "${junk[@]}" "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16")"
seed bad-9-channels "$(c fmt 1 9 8000 16)" "$(c chunk data "$tone16")"
seed bad-data-before-fmt "$(c chunk data "$tone16")" "$(c fmt 1 1 8000 16)"
seed bad-guid "$(c fmt 65534 1 8000 16 "$(le16 22)$(le16 16)$(le32 4)\\x01\\x00\\x00\\x00\\x21\\x07\\xd3\\x11\\x86\\x44\\xc8\\xc1\\xca\\x00\\x00\\x00")" \
    "$(c chunk data "$tone16")"
# Odd depths, left-justified in their containers.
seed u4 "$(c fmt 1 1 8000 4)" "$(c chunk data '\x80\xc0\xf0\xc0\x80\x40\x00\x40')"
seed s12 "$(c fmt 1 1 8000 12)" "$(c chunk data "$tone16")"
seed s20 "$(c fmt 1 2 8000 20)" "$(c chunk data '\x00\x00\x00\xf0\xff\x7f\x00\x00\x80\x10\x00\x00')"
seed s36 "$(c fmt 1 1 8000 36)" "$(c chunk data '\x00\x00\x00\x00\x40\xf0\xff\xff\xff\x7f')"
seed s45-extensible-in-48 "$(c extensible 1 8000 48 45 1)" "$(c chunk data '\x00\x00\x00\x00\x00\x40\xf8\xff\xff\xff\xff\xbf')"
seed s64 "$(c fmt 1 1 8000 64)" "$(c chunk data '\x00\x00\x00\x00\x00\x00\x00\x40\xff\xff\xff\xff\xff\xff\xff\x7f')"
seed mu-law "$(c fmt 7 1 8000 8)" "$(c chunk data '\x00\x0f\x33\x55\x7f\x80\xaa\xd5\xff')"
seed a-law-extensible "$(c extensible 2 8000 8 8 6)" "$(c chunk data '\x00\x0f\x33\x55\x7f\x80\xaa\xd5')"
seed block-align-disagrees "$(c fmt 1 2 8000 16 '' 3)" "$(c chunk data "$tone16")"
riff BW64 "$(c chunk ds64 "$(le32 0)$(le32 0)$(le32 8)$(le32 0)$(le32 4)$(le32 0)$(le32 0)")" \
    "$(c fmt 3 1 8000 32)" "$(c chunk data '\x00\x00\x00\x3f\x00\x00\x00\xbf\x00\x00\x80\x3f' 4294967295)" > "$out/bw64.wav"
# Big-endian: RIFX with its sizes, fields and samples the other way round.
big=1
riff RIFX "$(c fmt 1 1 8000 16)" "$(c chunk data '\x00\x00\x3f\xff\x7f\xff\x80\x01')" > "$out/rifx-s16.wav"
riff RIFX "$(c extensible 3 8000 24 24 1)" "$(c chunk data '\x40\x00\x00\xc0\x00\x00\x7f\xff\xff')" > "$out/rifx-extensible-s24.wav"
riff RIFX "$(c fmt 3 1 8000 64)" "$(c chunk data '\x3f\xf0\x00\x00\x00\x00\x00\x00\xbf\xe0\x00\x00\x00\x00\x00\x00')" > "$out/rifx-f64.wav"
big=0
ls "$out" | wc -l
