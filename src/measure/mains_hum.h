// Mains hum: a peak that stays at 50 or 60 Hz (within the grid's drift)
// through most of the recording, and its 2nd to 5th harmonics. A test
// tone is generated independently of the mains, so it is hum only where
// it sits on an exact multiple and is no stronger than hum would be.
#pragma once

#include "measure/spectral_frames.h"

namespace tonalyx::measurement {

// The mains' harmonics taken as hum, from the fundamental.
constexpr int kHumHarmonics = 5;

// A frequency timed to within this of a multiple of the mains is hum.
constexpr double kExactReachHz = 0.4;

constexpr double kMainsReachHz = 1.5;

// Whether `hz` lies on the mains or one of its harmonics (within
// kExactReachHz); false without mains.
bool onMainsMultiple(double hz, double mainsHz);

// The mains frequency (within kMainsReachHz of 50 or 60 Hz, to a hundredth
// of a hertz), from a long window standing over the noise; 0 for none or
// a track under half a second.
double mainsFrequencyOf(const AnalysisTrack& track);

// Keeps the mains frequency (SpectralFrames::mainsHz) and marks its peaks
// and its harmonics' as hum.
void markMainsHum(SpectralFrames& frames, double mainsHz);

}  // namespace tonalyx::measurement
