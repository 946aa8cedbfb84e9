// Little-endian sample bytes to floats in [-1, 1], one tight loop per
// encoding.
#pragma once

#include <cstddef>

#include "recording/sample_format.h"

namespace tonalyx::recording {

// Decodes `count` samples of `encoding` from `bytes` into `out`. Integers
// are scaled by their full scale (an exact power of two), 8-bit around 128;
// floats stay as they are, 64-bit ones rounded to float; a NaN, an
// infinity and a 64-bit value beyond float's range become 0.
void decodeSamples(SampleEncoding encoding, const unsigned char* bytes, std::size_t count, float* out);

}  // namespace tonalyx::recording
