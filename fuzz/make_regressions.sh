#!/usr/bin/env bash
# Writes the fuzz regression inputs into tests/fuzz-regressions: small
# inputs of the kinds that once broke a run (a header cut short, lengths
# of 2^31 and beyond, a 0-bit format, odd data lengths, extreme -length
# codes). Each is the three option bytes (flags: 1 -v, 2 -gnuplot,
# 4 -valuelist, 8 negative -length, 16 through a pipe; then the -length
# code + 1, little-endian, 0 for none) and the file. A fuzz finding is
# added beside them as it was found; tests/unit/fuzz_corpus_test.cpp says
# how each of these must end.
#   fuzz/make_regressions.sh
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz-regressions
mkdir -p "$out"

# A canonical 44-byte header: RIFF length, channels, bits, data length,
# each as printf escapes.
header() {
    local riff=$1 channels=$2 bits=$3 dlength=$4
    printf "RIFF${riff}WAVEfmt \\x10\\0\\0\\0\\x01\\0${channels}\\0\\x44\\xac\\0\\0\\x88\\x58\\x01\\0\\x02\\0${bits}\\0data${dlength}"
}
input() {  # name, option bytes as printf escapes; the file on standard input
    { printf "$2"; cat; } > "$out/$1.bin"
}
eight='\x01\x00\x02\x00\x03\x00\x04\x00'  # four 16-bit slots: 1, 2, 3, 4

printf 'RIFF\x24\x00' | input header-cut-after-6-bytes '\x01\x00\x00'
header '\x2c\0\0\0' '\x01' '\x10' '\x08\0\0\0' | head -c 35 | input format-cut-inside-bits '\x07\x05\x00'
{ header '\xff\xff\xff\xff' '\x01' '\x10' '\xff\xff\xff\xff'; printf "$eight"; } | input data-length-all-ones-through-pipe '\x16\x00\x00'
{ header '\xff\xff\xff\xff' '\x01' '\x10' '\xfe\xff\xff\x7f'; printf "$eight"; } | input data-length-2-31-minus-2-length-4096 '\x00\x01\x10'
{ header '\x2c\0\0\0' '\x01' '\x00' '\x08\0\0\0'; printf "$eight"; } | input bits-per-sample-0-traced '\x01\x00\x00'
header '\x24\0\0\0' '\x01' '\x10' '\0\0\0\0' | input data-length-0-all-listings '\x07\x01\x10'
{ header '\x27\0\0\0' '\x01' '\x08' '\x03\0\0\0'; printf '\x10\x80\xf0'; } | input odd-data-length-8-bit '\x02\x03\x00'
{ header '\x29\0\0\0' '\x01' '\x10' '\x05\0\0\0'; printf '\x01\x00\x02\x00\x03'; } | input odd-data-length-16-bit '\x00\x00\x00'
{ header '\x2c\0\0\0' '\x01' '\x10' '\x08\0\0\0'; printf "$eight"; } | input negative-length-largest-code '\x08\xff\xff'
{ header '\x7c\x02\0\0' '\x01' '\x18' '\x58\x02\0\0'; head -c 600 /dev/zero | tr '\0' '\021'; } | input bits-24-over-a-block-boundary '\x00\x01\x10'
ls "$out" | wc -l
