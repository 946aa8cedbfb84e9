// The harmonic series in each frame: for each peak taken as a fundamental,
// the peaks at its multiples; the series that holds the most power wins,
// its peaks are set aside, and the next is looked for (two tones at once).
#pragma once

#include <cstdint>
#include <vector>

#include "measure/frame_peaks.h"

namespace tonalyx::detail::measurement {

// Fundamentals from here up: rumble below is never a tone.
constexpr double kLowestFundamentalHz = 35.0;

struct PitchEntry {
    std::uint32_t frame = 0;
    double hz = 0.0;             // the fundamental, from its bins
    double phaseHz = 0.0;        // from its phase since the frame before; 0: none
    double seriesPower = 0.0;    // of every harmonic found, the fundamental's included
    double fundamentalPower = 0.0;
    double bandPower = 0.0;      // all from half the fundamental to past the last harmonic, hum left out
    double octaveNoise = 0.0;    // the rest in the octave around the fundamental
    std::uint32_t harmonics = 0; // the highest harmonic found
    std::vector<double> harmonicPowers;  // index h - 1; 0 where none was found
};

// A harmonic series on one fundamental, as the search builds it.
struct PitchSeries {
    double hz = 0.0, phaseHz = 0.0, power = 0.0, fundamental = 0.0;
    std::uint32_t harmonics = 0;
    std::vector<std::size_t> members;  // peak indices, by harmonic
    std::vector<double> powers;
};

// The entries frame by frame, as the frames are made (so that their powers
// need not be kept), its room kept from frame to frame.
class PitchEntryFinder {
public:
    // Frame `t`'s entries, from its `count` peaks (hum marked) and powers;
    // `frames` gives their size, bin width and mains.
    void add(const SpectralFrames& frames, std::size_t t, const Peak* peaks, std::size_t count, const float* power,
             std::vector<PitchEntry>& out);

private:
    std::vector<double> sums_;
    std::vector<unsigned char> taken_, clear_;
    PitchSeries best_, candidate_;
};

}  // namespace tonalyx::detail::measurement
