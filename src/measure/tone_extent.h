// Where the tone is: the energy of short blocks against the loudest block,
// so that a quiet lead-in and tail stay out of the measurement.
#pragma once

#include <cstdint>
#include <vector>

#include "measure/track.h"

namespace tonalyx::measurement {

// Blocks of 5 ms: a whole number of half periods at 100 Hz, so a tone's
// block energy barely ripples with its phase.
constexpr double kBlockSeconds = 0.005;
// A block counts as tone from a quarter (-6 dB) of the loudest block's power.
constexpr double kLoudShare = 0.25;

// Sums and sums of squares of each block of one channel.
struct Envelope {
    std::uint64_t blockFrames = 1;
    std::vector<double> sums, squares;
};

std::uint64_t blockFramesFor(double rate);
Envelope envelopeOf(const Track& track, std::uint64_t blockFrames);

struct Extent {
    Span frames;            // from the first to the last loud block, whole blocks
    double mean = 0.0;      // of the samples in it
    double energy = 0.0;    // the sum of squares in it, mean removed
};

// The extent of the loud blocks. The power of each block is taken around
// the mean of the whole track (the DC offset). No frames: an empty extent.
Extent toneExtent(const Envelope& envelope, std::uint64_t frames);

}  // namespace tonalyx::measurement
