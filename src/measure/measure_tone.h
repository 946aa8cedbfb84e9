// The measurement: the frequency of the tone in a recording, whatever its
// phase, lead-in, tail, rate, depth and channels; its purity, level,
// extent and channel.
#pragma once

#include <cstdint>

#include "recording/recording.h"
#include "tonalyx/tonalyx.hpp"

namespace tonalyx::measurement {

// The level given for a recording without any tone energy.
constexpr double kSilentLevel = -200.0;

// A tone lasts at least this long: over a few milliseconds (a click) any
// signal looks like a sinusoid.
constexpr double kMinToneSeconds = 0.1;

// Fills every field of the result but status and messages. Deterministic
// to the last bit on every platform: IEEE basic operations and sqrt only.
//
// Each channel gets its own extent (its loud blocks) and a first look at
// its spectrum; the channel whose strongest peak holds the largest share
// of its power is measured (the first of those within 0.01 of the largest
// share), and its number is the result's channel. Channels are never
// mixed, so a tone in one channel is not diluted by noise in the other,
// and a tone in both is measured in the first (channel 0, the mix, is
// never given).
void measureTone(const recording::Recording& recording, const MeasureOptions& options, Measurement& result);

// The candidate (100, 120, ..., 1000) within kCandidateReachHz of `hz`,
// the higher of two; 0 for none.
std::uint32_t candidateNear(double hz);

}  // namespace tonalyx::measurement
