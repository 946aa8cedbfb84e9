// What the fmt chunk says about the samples: their encoding, the channels
// and the rate, checked against what the reader decodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tonalyx::recording {

enum class SampleEncoding { u8, s16, s24, s32, f32, f64 };

struct SampleFormat {
    SampleEncoding encoding = SampleEncoding::s16;
    std::uint32_t bytesPerSample = 2;  // the container, padding included
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t frameBytes() const { return bytesPerSample * channels; }
};

// The most of a fmt chunk the reader looks at: the extensible layout's 40
// bytes. Anything after them is skipped.
constexpr std::size_t kFormatBytesUsed = 40;

// Reads the first min(chunk size, kFormatBytesUsed) bytes of a fmt chunk.
// Returns an empty text on success, else what is wrong, in numbers and
// fixed words.
std::string parseFormat(const unsigned char* bytes, std::size_t size, SampleFormat& out);

}  // namespace tonalyx::recording
