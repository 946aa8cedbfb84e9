#!/usr/bin/env bash
# Writes the seed corpus of the measurement's fuzz target into
# fuzz/corpus-measure: recordings of at most a second at 8000 Hz, made by
# wavegen, each named for its answer: tone-HZ-* holds that tone,
# none-REASON has none for that reason, bad-* is refused.
#   fuzz/make_corpus_measure.sh WAVEGEN
set -euo pipefail
gen=$1
out=$(cd "$(dirname "$0")" && pwd)/corpus-measure
rm -f "$out"/*.wav
mkdir -p "$out"

seed() {  # name, then wavegen's options
    local name=$1
    shift
    "$gen" --rate 8000 "$@" -o "$out/$name.wav"
}
# K periods across N slots at 8000 Hz: 8000 K / N Hz.
seed tone-440 --sine 440 --slots 8000
seed tone-440-quiet --sine 440 --slots 8000 --amp 300
seed tone-440-data-cut-short --sine 440 --slots 8000 --data-size 32000
seed tone-660-stereo-24-bit --channels 2 --bits 24 --sine 165 --slots 4000
seed tone-300-float-after-silence --float --lead 1000 --sine 112.5 --slots 3000
seed tone-880-beeps --sine 880 --slots 8000 --gate 400:400
seed tone-500-harmonics --sine 500 --add 1000:3000 --add 1500:1000 --slots 8000
seed tone-1000-cosine --cosine 1000 --slots 8000
seed tone-100-loud --sine 100 --slots 8000 --amp 30000
seed tone-240-chunks-around --sine 240 --slots 8000 --chunk LIST=494e464f --chunk fmt --chunk JUNK=0000 --chunk data
seed none-silent --const 0 --slots 4000
seed none-hum --sine 50 --add 150:3000 --slots 8000
seed none-several --sine 440 --add 660:10000 --slots 8000
seed none-off-band --sine 1500 --slots 8000
seed none-short --sine 440 --slots 8000 --gate 400:7600
seed bad-format-0x55 --format 0x55 --sine 440 --slots 8000
"$gen" --sine 440 --slots 100 | head -c 30 > "$out/bad-header-cut.wav"
ls "$out" | wc -l
