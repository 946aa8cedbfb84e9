// Sample bytes to floats in [-1, 1], one tight loop per container size and
// byte order.
#pragma once

#include <cstddef>

#include "recording/sample_format.h"

namespace tonalyx::detail::recording {

// Decodes `count` samples laid out as `format` says from `bytes` into `out`.
// Integers are left-justified in their container and scaled by its full
// scale (an exact power of two), 1-byte containers around 128; G.711 codes
// by their 16-bit value over 32768; floats stay as they are, 64-bit ones
// rounded to float; a NaN, an infinity and a 64-bit value beyond float's
// range become 0.
void decodeSamples(const SampleFormat& format, const unsigned char* bytes, std::size_t count, float* out);

}  // namespace tonalyx::detail::recording
