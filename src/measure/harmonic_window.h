// A tone's level and its total harmonic distortion, from the spectrum of
// the recording at its own rate, so that harmonics up to half that rate
// count (a square wave's reach far past the analysis rate).
#pragma once

#include "measure/track.h"

namespace tonalyx::detail::measurement {

struct HarmonicFigures {
    double amplitude = 0.0;  // of the fundamental (1: full scale)
    double thd = 0.0;        // percent
};

// Over Hann windows in [begin, end) (source frames) of up to about 85 ms:
// the median of up to three, so that a pop in one changes nothing.
HarmonicFigures harmonicFiguresOf(const Track& track, Span span, double hz);

}  // namespace tonalyx::detail::measurement
