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
AnalysisTrack analysisTrackOf(const Track& track);

// How much the boxcar of `step` frames at `sourceRate` keeps of a sine
// of `hz`: |sin(pi f s / r) / (s sin(pi f / r))|.
double boxcarGain(double hz, std::uint32_t step, double sourceRate);

}  // namespace tonalyx::detail::measurement
