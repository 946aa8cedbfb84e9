// Where a tone sounds: its amplitude in 5 ms steps, from the recording
// turned down by the tone's own frequency (so hum, rumble and noise
// elsewhere in the spectrum barely count), and the stretches where it
// stands at least half its usual amplitude.
#pragma once

#include <vector>

#include "measure/analysis_track.h"
#include "measure/frame_peaks.h"

namespace tonalyx::detail::measurement {

// A gap this long or longer splits two bursts; a dropout is shorter.
constexpr double kBurstGapSeconds = 0.035;
// A stretch shorter than this is a click, not a burst.
constexpr double kShortestBurstSeconds = 0.02;

struct Burst {
    double begin = 0.0, end = 0.0;  // analysis frames, between frames where the edges cross
};

// The tone's amplitude at the edges of 5 ms blocks, over the two blocks
// either side: amplitude[e] at the edge after block e.
struct Envelope {
    std::vector<double> amplitude;
    std::size_t block = 1;  // analysis frames a block
};

Envelope envelopeOf(const AnalysisTrack& track, double hz);

// The bursts of the tone of `envelope` that overlap the middle half of one
// of `frames` (the frames whose spectra hold the tone), in time order.
std::vector<Burst> burstsOf(const Envelope& envelope, const AnalysisTrack& track, const SpectralFrames& spectral,
                            const std::vector<std::uint32_t>& frames);

// The share of the tone's 5 ms steps inside its bursts where its amplitude
// dips under a quarter of its median there. Two tones of about one level,
// closer than the frames' bins tell apart, beat: their sum dips to nothing
// every beat, a tenth of the time or more. A tone's dropouts, phase jumps
// and noise dip far less often.
double dipShareOf(const Envelope& envelope, const std::vector<Burst>& bursts);

}  // namespace tonalyx::detail::measurement
