// The reader of what recorders and converters write, for the measurement:
// any common sample format, chunks in any order, any data length. The
// default run keeps its own reader (src/wave), which reads only the
// canonical layout, and exactly as it always has.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tonalyx/tonalyx.hpp"

namespace tonalyx::recording {

// A recording longer than this is measured over its first part.
constexpr double kMaxSeconds = 60.0;
constexpr std::uint32_t kMaxChannels = 8;
// Higher rates are refused: with kMaxSeconds and kMaxChannels this bounds
// the samples one recording holds (60 s x 768000 x 8 floats, 1.4 GiB at
// the very most; one second of 48 kHz stereo takes 384 KiB).
constexpr std::uint32_t kMaxSampleRate = 768000;

struct Recording {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;  // 1 to 8
    // Interleaved frames (channel 1, channel 2, ... per frame), each sample
    // scaled to [-1, 1]: integers by their full scale (8-bit unsigned
    // around 128), floats as they are (NaN and infinities as 0).
    std::vector<float> samples;
    bool cutShort = false;  // longer than kMaxSeconds: only the first part is here
    std::uint64_t frames() const { return channels ? samples.size() / channels : 0; }
};

struct ReadOutcome {
    Status status = Status::ok;  // ok, noData (unsupported or broken data), readError
    std::string error;           // "unsupported format tag 0x0055", without a line end
};

// Reads the whole recording (up to kMaxSeconds) from the source, forward
// only, so a pipe serves. Memory stays within the limit whatever the
// header declares. After an error `out` holds no samples.
ReadOutcome readRecording(ByteSource& source, Recording& out);

}  // namespace tonalyx::recording
