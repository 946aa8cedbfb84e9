// One channel of an interleaved recording: read in place, or a stretch at
// a time again from the source.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "recording/recording.h"

namespace tonalyx::detail::measurement {

struct Track {
    const float* first = nullptr;  // the channel's sample of frame 0; null when not held
    std::size_t stride = 1;        // the number of channels
    std::uint64_t frames = 0;
    double rate = 0.0;             // frames per second
    recording::SourceFrames* reread = nullptr;  // where the frames come from when not held
    std::uint32_t channel = 0;                  // of `reread`

    // A frame of a track held in memory.
    double operator[](std::uint64_t frame) const { return first[frame * stride]; }

    // Frames [begin, begin + count), held or not, into `out`.
    void copy(std::uint64_t begin, std::size_t count, float* out) const
    {
        if (first == nullptr) {
            if (reread)
                reread->copyChannel(channel, begin, count, out);
            else
                std::fill(out, out + count, 0.0f);
            return;
        }
        for (std::size_t n = 0; n < count; ++n)
            out[n] = first[(begin + n) * stride];
    }
};

// Channel `channel` (0-based) of the recording.
inline Track trackOf(const recording::Recording& recording, std::uint32_t channel)
{
    if (recording.reread)
        return {nullptr, 1, recording.frames(), static_cast<double>(recording.sampleRate), recording.reread.get(),
                channel};
    return {recording.samples.data() + channel, recording.channels, recording.frames(),
            static_cast<double>(recording.sampleRate)};
}

// The step that brings `rate` down to between 8000 and 16000 frames a
// second (1 below that).
inline std::uint32_t thinningStep(std::uint32_t rate)
{
    return rate < 16000 ? 1 : rate / 8000;
}

// A stretch of frames, [begin, end).
struct Span {
    std::uint64_t begin = 0, end = 0;
    std::uint64_t size() const { return end - begin; }
};

}  // namespace tonalyx::detail::measurement
