// The measurement's pictures as -pictures prints them: gnuplot data sets,
// each named by the comment line that opens it (plot 'FILE' index
// "spectrum"), separated by two empty lines.
#pragma once

#include <string>

#include "api/api.h"

// Two empty lines, then the named sets in this order, each line ending in
// "\n":
//   # spectrum: Hz dBFS    "Hz dB" per bin, Hz to 0.001, dB to 0.01
//   # harmonics: Hz        the tone's fundamental first, to 0.001
//   # hum: Hz              the hum's fundamental first, to 0.001
//   # envelope: s dBFS     "start dB" per block, s to 0.001, dB to 0.01
//   # bursts: start end    seconds, to 0.001
// A set with nothing to show is its comment line alone.
std::string picturesText(const tonalyx::MeasurementPictures& pictures);
