// One channel of an interleaved recording, read in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "recording/recording.h"

namespace tonalyx::measurement {

struct Track {
    const float* first = nullptr;  // the channel's sample of frame 0
    std::size_t stride = 1;        // the number of channels
    std::uint64_t frames = 0;
    double rate = 0.0;             // frames per second

    double operator[](std::uint64_t frame) const { return first[frame * stride]; }
};

// Channel `channel` (0-based) of the recording.
inline Track trackOf(const recording::Recording& recording, std::uint32_t channel)
{
    return {recording.samples.data() + channel, recording.channels, recording.frames(),
            static_cast<double>(recording.sampleRate)};
}

// A stretch of frames, [begin, end).
struct Span {
    std::uint64_t begin = 0, end = 0;
    std::uint64_t size() const { return end - begin; }
};

}  // namespace tonalyx::measurement
