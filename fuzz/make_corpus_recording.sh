#!/usr/bin/env bash
# Writes the seed corpus of the recording reader's fuzz target into
# fuzz/corpus-recording: small WAVE files of each sample format, the
# extensible layout, RF64, chunks in odd places, unknown data lengths, and
# (named bad-*) files the reader refuses.
#   fuzz/make_corpus_recording.sh
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/corpus-recording
rm -f "$out"/*.wav
mkdir -p "$out"

# Little-endian fields as printf escapes.
le16() { printf '\\x%02x\\x%02x' $(( $1 & 255 )) $(( ($1 >> 8) & 255 )); }
le32() { printf '%s%s' "$(le16 $(( $1 & 65535 )))" "$(le16 $(( ($1 >> 16) & 65535 )))"; }
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
# fmt TAG CHANNELS RATE BITS [EXTRA-ESCAPES]
fmt() {
    local align=$(( $2 * $4 / 8 ))
    chunk 'fmt ' "$(le16 "$1")$(le16 "$2")$(le32 "$3")$(le32 $(( $3 * align )))$(le16 $align)$(le16 "$4")${5:-}"
}
guid() { printf '%s\\x00\\x00\\x00\\x00\\x10\\x00\\x80\\x00\\x00\\xaa\\x00\\x38\\x9b\\x71' "$(le16 "$1")"; }
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
seed bad-12-bits "$(c fmt 1 1 8000 12)" "$(c chunk data "$tone16")"
seed bad-9-channels "$(c fmt 1 9 8000 16)" "$(c chunk data "$tone16")"
seed bad-data-before-fmt "$(c chunk data "$tone16")" "$(c fmt 1 1 8000 16)"
seed bad-guid "$(c fmt 65534 1 8000 16 "$(le16 22)$(le16 16)$(le32 4)\\x01\\x00\\x00\\x00\\x21\\x07\\xd3\\x11\\x86\\x44\\xc8\\xc1\\xca\\x00\\x00\\x00")" \
    "$(c chunk data "$tone16")"
riff RIFX "$(c fmt 1 1 8000 16)" "$(c chunk data "$tone16")" > "$out/bad-rifx.wav"
ls "$out" | wc -l
