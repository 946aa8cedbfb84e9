// The measurement: the frequency of the tone in a recording, whatever its
// phase, lead-in, tail, rate, depth and channels, and whether it beeps,
// drifts, carries harmonics or shares the recording with hum, noise,
// clicks or speech; its purity, level, extent, distortion and channel.
#pragma once

#include <cstdint>

#include "measure/channel_tracks.h"
#include "recording/recording.h"
#include "api/api.h"

namespace tonalyx::detail::measurement {

// The level given for a recording without any tone energy.
constexpr double kSilentLevel = -200.0;
// Quieter than this (dBFS) is silence.
constexpr double kSilentBelow = -120.0;

// A tone lasts at least this long in all: over a few milliseconds (a
// click) any signal looks like a sinusoid. Ramps of 5 ms at both ends of
// a tone of 0.1 s leave 0.095 s at half amplitude, which still counts.
constexpr double kMinToneSeconds = 0.09;

// Fills every field of the result but status and messages. Deterministic
// to the last bit on every platform: IEEE basic operations and sqrt only.
//
// Each channel is analysed on its own; the channel with a tone of the
// highest purity is measured (the first of those within 0.01), and its
// number is the result's channel. Channels are never mixed, so a tone in
// one channel is not diluted by noise in the other.
//
// `tracks` took every frame of the recording as it was read.
void measureTone(const recording::Recording& recording, ChannelTracks& tracks, const MeasureOptions& options,
                 Measurement& result);
// The same for a recording that holds its samples.
void measureTone(const recording::Recording& recording, const MeasureOptions& options, Measurement& result);

// The candidate (100, 120, ..., 1000) within kCandidateReachHz of `hz`,
// the higher of two; 0 for none.
std::uint32_t candidateNear(double hz);

}  // namespace tonalyx::detail::measurement
