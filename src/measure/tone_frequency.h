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

// From `hz` (within half a bin of the look), the phase drift between two
// Hann windows of the look's size, moved apart four times further each
// step until they reach the ends of the extent (less one block at each end,
// where the tone may be only starting). Their distance in the last step
// sets the precision.
double refinedHz(const Track& track, const Extent& extent, std::uint64_t margin, double hz,
                 const std::vector<double>& window);

}  // namespace tonalyx::measurement
