// Where a tone sounds: its amplitude in 5 ms steps, from the recording
// turned down by the tone's own frequency (so hum, rumble and noise
// elsewhere in the spectrum barely count), and the stretches where it
// stands at least half its usual amplitude.
#pragma once

#include <vector>

#include "measure/analysis_track.h"
#include "measure/frame_spectra.h"

namespace tonalyx::detail::measurement {

// A gap this long or longer splits two bursts; a dropout is shorter.
constexpr double kBurstGapSeconds = 0.035;
// A stretch shorter than this is a click, not a burst.
constexpr double kShortestBurstSeconds = 0.02;

struct Burst {
    double begin = 0.0, end = 0.0;  // analysis frames, between frames where the edges cross
};

// The bursts of the tone at `hz` that overlap the middle half of one of
// `frames` (the frames whose spectra hold the tone), in time order.
std::vector<Burst> burstsOf(const AnalysisTrack& track, const SpectralFrames& spectral, double hz,
                            const std::vector<std::uint32_t>& frames);

}  // namespace tonalyx::detail::measurement
