// The tone's frequency: a first look at the spectrum of a short window,
// then the phase drift between windows further and further apart.
#pragma once

#include <cstddef>
#include <vector>

#include "measure/tone_extent.h"

namespace tonalyx::measurement {

// Peaks below this are hum, not a tone.
constexpr double kLowestHz = 70.0;

// The window of the first look: the power of two nearest 25 ms (bins of
// 31 to 47 Hz), from 16 up to 4096 frames, and at most the extent.
std::size_t lookFramesFor(double rate, std::uint64_t extentFrames);

struct FirstLook {
    double hz = 0.0;     // the peak, interpolated between bins
    double share = 0.0;  // of the window's power in the peak's five bins
};

// The strongest local peak from kLowestHz up in a Hann window at the middle of
// the extent. `window` is the Hann window of the look's size.
FirstLook firstLook(const Track& track, const Extent& extent, const std::vector<double>& window);

// The windows of the phase steps: from about 25 ms up to this many frames
// of the thinned track (a quarter to half a second), long enough that hum
// 50 Hz away leaks nothing into the last step; at most half the extent.
constexpr std::uint64_t kLongestWindow = 4096;
constexpr std::uint64_t kShortestWindow = 16;

// From `hz` (within half a bin of the look), the phase drift between two
// Hann windows, moved apart four times further and made four times longer
// (up to kLongestWindow) each step, until they reach the ends of the extent
// less `margin` frames at each end (where the tone may be only starting).
// Their distance in the last step sets the precision. Works on the thinned
// track: the candidates lie far below its half rate, and a tone above it
// still drifts by its own frequency, folded.
double refinedHz(const Track& thin, const Extent& extent, std::uint64_t margin, double hz);

}  // namespace tonalyx::measurement
