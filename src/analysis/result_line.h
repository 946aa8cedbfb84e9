// The default answer's result line, without line ends: "bestResult=0.497611
// best matching freq.=440". The console, the transcript and the C
// interface all print this one.
#pragma once

#include <cstdint>
#include <string>

namespace tonalyx::detail {

std::string resultLine(double bestResult, uint32_t bestFreq);

}  // namespace tonalyx::detail
