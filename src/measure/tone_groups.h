// Tones: the frames' series gathered by frequency, so that a tone that
// drifts, beeps, jumps in phase or drops out is still one tone, and two
// tones in one recording are two.
#pragma once

#include <cstdint>
#include <vector>

#include "measure/pitch_entries.h"

namespace tonalyx::detail::measurement {

struct ToneGroup {
    std::vector<std::uint32_t> members;  // indices into the entries, in frame order
    double hz = 0.0;                     // power-weighted mean of the members' fundamentals
    double power = 0.0;                  // of all the members' series
};

// The groups, strongest first: each gathers the series within kGroupReach
// of the densest frequency left (its power within 1 % of it), at most
// kMaxGroups of them.
constexpr double kGroupReach = 0.03;
constexpr std::size_t kMaxGroups = 8;
std::vector<ToneGroup> toneGroupsOf(const std::vector<PitchEntry>& entries);

// What a group's members say of the tone, each robust against a few odd
// frames (a pop, a dropout, the frame across a phase jump).
struct GroupFigures {
    double hz = 0.0;      // the mean frequency, from the phase where it is known
    double drift = 0.0;   // max - min of the frequency along the tone, smoothed over 3 frames
    double purity = 0.0;  // median share of the series in its band, weighted by power
    double snr = 0.0;     // dB: median of fundamental over the octave's noise
    // Where the frequency track lies (analysis frames), and whether it
    // only rises or only falls from end to end (a glide, a slow drift).
    double trackBegin = 0.0, trackEnd = 0.0;
    bool monotone = false;
    bool timed = false;  // hz comes from the phase of frames, not only their bins
};

// `whole`, when given, tells which frames lie wholly inside the tone: the
// frequency is then taken from those alone (a frame across an edge has
// its phase pulled by the half that is silent).
// `hop` is the frames' hop, for where the track lies.
GroupFigures figuresOf(const ToneGroup& group, const std::vector<PitchEntry>& entries, double binHz, std::size_t hop,
                       const std::vector<bool>* whole = nullptr);

}  // namespace tonalyx::detail::measurement
