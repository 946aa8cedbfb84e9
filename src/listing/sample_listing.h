// Listing of the normalised samples for gnuplot and as a value list.
#pragma once

#include <cstdint>

struct RunState;

// Lists the first `count` slots of the run's samples, as -gnuplot and
// -valuelist ask, to the run's output.
void printSamples(RunState& run, uint32_t count);
