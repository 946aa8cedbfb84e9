// How much of a stretch is the tone: the sinusoid of the measured
// frequency fitted to the whole extent, against the extent's energy.
#pragma once

#include "measure/tone_extent.h"

namespace tonalyx::measurement {

struct ToneFit {
    double amplitude = 0.0;  // of the fitted sinusoid (1: full scale)
    double purity = 0.0;     // its energy over the extent's, 0 to 1
};

ToneFit fitTone(const Track& track, const Extent& extent, double hz);

}  // namespace tonalyx::measurement
