// The frequency of a tone over one burst, from the phase it moves by
// between a window near the burst's start and one near its end: within a
// few hundredths of a hertz even for a beep of 0.1 s, where the frames
// wholly inside it are too few.
#pragma once

#include "measure/analysis_track.h"
#include "measure/tone_bursts.h"

namespace tonalyx::detail::measurement {

// From `hz` (within a few hertz): the mean frequency over the burst; `hz`
// itself where the burst is too short for two windows.
double burstFrequency(const AnalysisTrack& track, const Burst& burst, double hz);

}  // namespace tonalyx::detail::measurement
