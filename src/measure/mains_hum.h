// Mains hum: a peak that stays at 50 or 60 Hz (within the grid's drift)
// through most of the recording, and its 2nd to 5th harmonics. A test
// tone is generated independently of the mains, so it is hum only where
// it sits on an exact multiple and is no stronger than hum would be.
#pragma once

#include "measure/frame_peaks.h"

namespace tonalyx::detail::measurement {

// The mains' harmonics taken as hum, from the fundamental.
constexpr int kHumHarmonics = 5;

// A frequency timed to within this of a multiple of the mains is hum.
constexpr double kExactReachHz = 0.4;

constexpr double kMainsReachHz = 1.5;

// Whether `hz` lies on the mains or one of its harmonics (within `reach`
// Hz); false without mains.
bool onMainsMultiple(double hz, double mainsHz, double reach = kExactReachHz);

struct Mains {
    double hz = 0.0;         // 0: none
    double amplitude = 0.0;  // of its fundamental (1: full scale)
};

// The mains (within kMainsReachHz of 50 or 60 Hz, to a hundredth of a
// hertz), from a long window where it stands over the noise; none in a
// track under a quarter of a second.
Mains mainsOf(const AnalysisTrack& track);

// Marks the peaks of one frame, [first, last), on the mains and its
// harmonics as hum; nothing without mains.
void markMainsHum(Peak* first, Peak* last, double binHz, double mainsHz);

}  // namespace tonalyx::detail::measurement
