// One channel of an interleaved recording, read in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "recording/recording.h"

namespace tonalyx::detail::measurement {

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

// Every `step`-th frame of the track from frame 0, at rate / step. Block
// energies and the fit of the tone need no more than some 8000 frames a
// second: the candidates lie far below half that, and what folds down from
// above only adds to the noise.
inline Track everyNth(const Track& track, std::uint32_t step)
{
    return {track.first, track.stride * step, track.frames == 0 ? 0 : (track.frames - 1) / step + 1,
            track.rate / step};
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
