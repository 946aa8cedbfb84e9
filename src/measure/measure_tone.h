// The measurement: the frequency of the tone in a recording, whatever its
// phase, lead-in, tail, rate, depth and channels; its purity, level,
// extent and channel.
#pragma once

#include "recording/recording.h"
#include "tonalyx/tonalyx.hpp"

namespace tonalyx::measurement {

// Fills every field of the result but status and messages. Deterministic
// to the last bit on every platform: IEEE basic operations and sqrt only.
void measureTone(const recording::Recording& recording, Measurement& result);

}  // namespace tonalyx::measurement
