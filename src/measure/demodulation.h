// The complex amplitude of one frequency in a stretch of a track.
#pragma once

#include "measure/exact_math.h"
#include "measure/track.h"

namespace tonalyx::detail::measurement {

// sum over n in `span` of weight[n - begin] (x[n] - offset) e^(-2 pi i c n),
// c = cyclesPerFrame, n counted from frame 0 of the track, so that the
// phases of two stretches can be compared. `weights` holds span.size()
// values, or is null for 1 everywhere.
Phasor demodulate(const Track& track, Span span, double cyclesPerFrame, double offset, const double* weights);

}  // namespace tonalyx::detail::measurement
