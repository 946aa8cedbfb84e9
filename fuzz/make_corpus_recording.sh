#!/usr/bin/env bash
# Writes the seed corpus of the recording reader's fuzz target into
# fuzz/corpus-recording: small WAVE files of each sample format (integers
# of odd depths, floats, G.711), the extensible layout, RIFX, RF64 and BW64,
# chunks in odd places, unknown data lengths, a blockAlign that disagrees,
# and (named bad-*) files the reader refuses. The samples are given as hex
# bytes, wavegen writes the chunks around them.
#   fuzz/make_corpus_recording.sh WAVEGEN
set -euo pipefail
gen=$1
out=$(cd "$(dirname "$0")" && pwd)/corpus-recording
rm -f "$out"/*.wav
mkdir -p "$out"

seed() {  # name, then wavegen's options: chunk by chunk, 8000 Hz unless given
    local name=$1
    shift
    "$gen" --container RIFF --rate 8000 "$@" -o "$out/$name.wav"
}
tone16=0000ff3fff7fff3f000001c0018001c0

seed u8 --bits 8 --data 80c0ffc080400040
seed s16 --data $tone16
seed s24 --bits 24 --data 000000ffff7f000000010080
seed s32 --bits 32 --data 00000000ffffff7f0000008000000040
seed f32 --format 3 --bits 32 --data 000000000000803f00000000000080bf0000c07f
seed f64 --format 3 --bits 64 --data 000000000000f03f000000000000f0bf
seed stereo-s16-fmt18 --channels 2 --rate 44100 --fmt-extra 0000 --data $tone16
seed extensible-24-in-32 --channels 2 --rate 48000 --bits 32 --extensible 24:1 --data 00000040000000c0
seed extensible-float --rate 48000 --bits 32 --extensible 32:3 --data 0000003f000000bf
seed chunks-around --chunk LIST=494e464f4953465403000000616200 --chunk fmt --chunk JUNK=00000000 \
    --chunk fact=04000000 --chunk 'odd =616263' --chunk data --chunk LIST=494e464f7461696c --data $tone16
seed length-0 --data-size 0 --data $tone16
seed length-all-ones --data-size 4294967295 --data $tone16
seed length-pipe --data-size 2147479552 --data $tone16
seed length-partial-frame --channels 2 --data-size 14 --data $tone16
# Its ds64 chunk gives 8 data bytes of the 16 that follow.
seed rf64 --container RF64 --data-size 8 --data $tone16

seed bad-tag-0x0055 --format 0x55 --data $tone16
seed bad-72-bits --bits 72 --data $tone16
seed bad-valid-above-container --extensible 24:1 --data $tone16
junk=()
for i in $(seq 1 1000); do junk+=(--chunk JUNK); done
seed bad-too-many-chunks "${junk[@]}" --data $tone16
seed bad-9-channels --channels 9 --data $tone16
seed bad-data-before-fmt --chunk data --chunk fmt --data $tone16
seed bad-guid --format 0xfffe --fmt-extra 1600100004000000010000002107d3118644c8c1ca000000 --data $tone16
# Odd depths, left-justified in their containers.
seed u4 --bits 4 --data 80c0f0c080400040
seed s12 --bits 12 --data $tone16
seed s20 --channels 2 --bits 20 --data 000000f0ff7f000080100000
seed s36 --bits 36 --data 0000000040f0ffffff7f
seed s45-extensible-in-48 --bits 48 --extensible 45:1 --data 000000000040f8ffffffffbf
seed s64 --bits 64 --data 0000000000000040ffffffffffffff7f
seed mu-law --format 7 --bits 8 --data 000f33557f80aad5ff
seed a-law-extensible --channels 2 --bits 8 --extensible 8:6 --data 000f33557f80aad5
seed block-align-disagrees --channels 2 --block-align 3 --data $tone16
seed bw64 --container BW64 --format 3 --bits 32 --data-size 8 --data 0000003f000000bf0000803f
# Big-endian: RIFX with its sizes, fields and samples the other way round.
seed rifx-s16 --container RIFX --data 00003fff7fff8001
seed rifx-extensible-s24 --container RIFX --channels 3 --bits 24 --extensible 24:1 --data 400000c000007fffff
seed rifx-f64 --container RIFX --format 3 --bits 64 --data 3ff0000000000000bfe0000000000000
ls "$out" | wc -l
