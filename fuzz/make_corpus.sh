#!/usr/bin/env bash
# Writes the seed corpus of the fuzz target into fuzz/corpus: small WAVE
# files made by wavegen (canonical, stereo, 8/24/32-bit, extra chunks,
# broken headers, truncated), each behind the three option bytes the target
# reads (flags, then the -length code, little-endian).
#   fuzz/make_corpus.sh WAVEGEN
set -euo pipefail
gen=$1
out=$(cd "$(dirname "$0")" && pwd)/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -f "$out"/*.bin
mkdir -p "$out"

seed() {  # name, option bytes as printf escapes; the file on standard input
    { printf "$2"; cat; } > "$out/$1.bin"
}
wav() { "$gen" "$@"; }
patch() {  # file, offset, printf bytes: the file with those bytes in place
    local file=$1 offset=$2 bytes=$3
    head -c "$offset" "$file"
    printf "$bytes"
    tail -c +$(( offset + 1 + $(printf "$bytes" | wc -c) )) "$file"
}

wav --sine 30 --slots 300 -o "$work/tone.wav"
seed canonical '\x00\x00\x00' < "$work/tone.wav"
seed canonical-traced-listed '\x07\x05\x00' < "$work/tone.wav"     # -v -gnuplot -valuelist -length 4
seed canonical-length-0 '\x01\x01\x00' < "$work/tone.wav"
seed canonical-negative-length '\x08\x06\x00' < "$work/tone.wav"   # -length -5
seed canonical-pipe '\x11\x00\x00' < "$work/tone.wav"
wav --values 100,-100,200,-200,300,-300,400,-400 --channels 2 | seed stereo '\x01\x00\x00'
wav --sine 5 --slots 200 --bits 8 | seed bits-8 '\x01\x00\x00'
wav --sine 5 --slots 200 --bits 24 | seed bits-24 '\x01\x00\x00'
wav --sine 5 --slots 200 --bits 32 | seed bits-32 '\x01\x00\x00'
wav --values 1,2,3 --bits 8 | seed odd-length-16 '\x01\x00\x00'
patch "$work/tone.wav" 34 '\x00\x00' | seed bits-0 '\x01\x00\x00'
patch "$work/tone.wav" 34 '\x04\x00' | seed bits-4 '\x01\x00\x00'
patch "$work/tone.wav" 0 'RIFX' | seed riff-tag-wrong '\x01\x00\x00'
patch "$work/tone.wav" 12 'LIST' | seed fmt-id-wrong '\x01\x00\x00'
patch "$work/tone.wav" 36 'LIST' | seed data-id-wrong '\x01\x00\x00'
patch "$work/tone.wav" 40 '\xf0\xff\xff\xff' | seed data-length-near-2-32 '\x01\x00\x00'
patch "$work/tone.wav" 40 '\x00\x00\x00\x80' | seed data-length-2-31 '\x01\x00\x00'
patch "$work/tone.wav" 40 '\xfe\xff\xff\x7f' | seed data-length-huge '\x01\x00\x00'
patch "$work/tone.wav" 4 '\xff\xff\xff\xff' | seed riff-length-huge '\x00\x00\x00'
for cut in 10 14 22 35 40 43 47; do head -c $cut "$work/tone.wav" | seed "truncated-$cut" '\x01\x00\x00'; done
# An 18-byte format chunk, as converters write.
wav --fmt-extra 0000 --values 1,2,3,4 | seed format-18-bytes '\x01\x00\x00'
# A short data chunk, then other chunks and data chunks taking turns (bytes
# appended as they are: the JUNK's size is "JUNK").
{ wav --values 1,2,3; for i in 1 2 3; do printf 'data\x00\x00\x00\x00JUNKJUNKJUNKJUNKJUNKJUNKJUNKJUNK'; done; } | seed chunks-alternating '\x01\x00\x00'
wav --values 5,6,7 --chunk fmt --chunk data --chunk LIST=494e464f | seed data-then-list '\x01\x00\x00'
ls "$out" | wc -l
