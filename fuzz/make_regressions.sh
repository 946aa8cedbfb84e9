#!/usr/bin/env bash
# Writes the fuzz regression inputs into tests/fuzz-regressions: small
# inputs of the kinds that once broke a run (a header cut short, lengths
# of 2^31 and beyond, a 0-bit format, odd data lengths, extreme -length
# codes). Each is the three option bytes (flags: 1 -v, 2 -gnuplot,
# 4 -valuelist, 8 negative -length, 16 through a pipe; then the -length
# code + 1, little-endian, 0 for none) and the file. A fuzz finding is
# added beside them as it was found; tests/unit/fuzz_corpus_test.cpp says
# how each of these must end.
#   fuzz/make_regressions.sh WAVEGEN
set -euo pipefail
gen=$1
out=$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz-regressions
mkdir -p "$out"

# A canonical 44-byte header at 44100 Hz with a blockAlign of 2 whatever
# the bits, then the data given in hex.
wav() { "$gen" --block-align 2 "$@"; }
input() {  # name, option bytes as printf escapes; the file on standard input
    { printf "$2"; cat; } > "$out/$1.bin"
}
eight=0100020003000400  # four 16-bit slots: 1, 2, 3, 4

wav --data '' | head -c 6 | input header-cut-after-6-bytes '\x01\x00\x00'
wav --riff-size 44 | head -c 35 | input format-cut-inside-bits '\x07\x05\x00'
wav --riff-size 0xffffffff --data-size 0xffffffff --data $eight | input data-length-all-ones-through-pipe '\x16\x00\x00'
wav --riff-size 0xffffffff --data-size 0x7ffffffe --data $eight | input data-length-2-31-minus-2-length-4096 '\x00\x01\x10'
wav --bits 0 --data $eight | input bits-per-sample-0-traced '\x01\x00\x00'
wav --data '' | input data-length-0-all-listings '\x07\x01\x10'
wav --bits 8 --data 1080f0 | input odd-data-length-8-bit '\x02\x03\x00'
wav --data 0100020003 | input odd-data-length-16-bit '\x00\x00\x00'
wav --data $eight | input negative-length-largest-code '\x08\xff\xff'
wav --bits 24 --data "$(printf '11%.0s' $(seq 600))" | input bits-24-over-a-block-boundary '\x00\x01\x10'
ls "$out" | wc -l
