// The mains hum taken out of an analysis track, for a second look at a
// tone it hid: a tone a bin or two beside one of hum's harmonics shares
// their peak in the frames, but not their exact frequency. Hum holds its
// level and its phase from one fifth of a second to the next; a tone
// beside it leaves so short a window almost alone.
#pragma once

#include "measure/analysis_track.h"

namespace tonalyx::detail::measurement {

// The track less the mains at `mainsHz` and its harmonics (up to the
// ones taken as hum), each fitted window by window.
AnalysisTrack withoutHum(const AnalysisTrack& track, double mainsHz);

}  // namespace tonalyx::detail::measurement
