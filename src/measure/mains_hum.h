// Mains hum: a peak that stays at 50 or 60 Hz (within the grid's drift)
// through most of the recording, and its 2nd to 5th harmonics. A test
// tone is generated independently of the mains, so it is hum only where
// it sits on an exact multiple and is no stronger than hum would be.
#pragma once

#include "measure/spectral_frames.h"

namespace tonalyx::measurement {

// The mains' harmonics taken as hum, from the fundamental.
constexpr int kHumHarmonics = 5;

// Finds the mains frequency (SpectralFrames::mainsHz) and marks its peaks
// and its harmonics' as hum.
void markMainsHum(SpectralFrames& frames);

}  // namespace tonalyx::measurement
