// One channel brought down to the rate the analysis works at: 8000 to
// 16000 frames a second, enough for candidates up to 1000 Hz and their
// first harmonics, and few enough frames that a minute costs little.
#pragma once

#include <cstdint>
#include <vector>

#include "measure/track.h"

namespace tonalyx::detail::measurement {

struct AnalysisTrack {
    std::vector<float> samples;  // the channel's mean (DC) removed
    double rate = 0.0;           // frames a second
    std::uint32_t step = 1;      // source frames averaged into each
    double sourceRate = 0.0;

    // The source time, in seconds, of analysis position `frame` (which
    // may lie between frames).
    double secondsAt(double frame) const
    {
        return (frame * step + (step - 1) * 0.5) / sourceRate;
    }
};

// The mean of every `step` frames (thinningStep of the rate): a boxcar
// that keeps most of what lies above half the new rate from folding down.
// Fed a run of frames at a time, as they are read, so that the channel at
// its own rate need not be held.
class Boxcar {
public:
    Boxcar(double sourceRate, std::uint64_t expectedFrames);
    // `frames` frames from `x` on, `stride` floats apart.
    void add(const float* x, std::size_t stride, std::size_t frames);
    // The analysis track of all frames added (a last partial boxcar dropped).
    AnalysisTrack finish() &&;

private:
    void closeBoxcar();

    std::uint32_t step_;
    double sourceRate_;
    std::vector<float> means_;
    double total_ = 0.0;    // of the means
    double partial_ = 0.0;  // the sum of the boxcar begun
    std::uint32_t filled_ = 0;
};

// The same over a channel held in memory.
AnalysisTrack analysisTrackOf(const Track& track);

// How much the boxcar of `step` frames at `sourceRate` keeps of a sine
// of `hz`: |sin(pi f s / r) / (s sin(pi f / r))|.
double boxcarGain(double hz, std::uint32_t step, double sourceRate);

}  // namespace tonalyx::detail::measurement
