// What the fmt chunk says about the samples: their kind, byte order and
// container, the channels and the rate, checked against what the reader
// decodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tonalyx::detail::recording {

enum class SampleKind {
    integer,  // PCM, left-justified in its container; a 1-byte container is unsigned
    floating, // IEEE float, 4 or 8 bytes
    muLaw,    // G.711, one byte a sample
    aLaw,     // G.711, one byte a sample
};

struct SampleFormat {
    SampleKind kind = SampleKind::integer;
    bool bigEndian = false;            // a RIFX file
    std::uint32_t bytesPerSample = 2;  // the container, padding included (1 to 8)
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t frameBytes() const { return bytesPerSample * channels; }
};

// The most of a fmt chunk the reader looks at: the extensible layout's 40
// bytes. Anything after them is skipped.
constexpr std::size_t kFormatBytesUsed = 40;

struct FormatReading {
    std::string error;  // what is wrong, in numbers and fixed words; empty when the format is read
    std::string note;   // what disagreed and which size was trusted; empty when all agrees
};

// Reads the first min(chunk size, kFormatBytesUsed) bytes of a fmt chunk,
// its fields in the byte order of the file.
FormatReading parseFormat(const unsigned char* bytes, std::size_t size, bool bigEndian, SampleFormat& out);

}  // namespace tonalyx::detail::recording
