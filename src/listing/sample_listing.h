// Listing of the normalised samples for gnuplot and as a value list.
#pragma once

#include <cstdint>

// Lists the first `count` slots of gSamples on standard output.
void printSamples(uint32_t count);

// One slot: "index value" with -gnuplot, then its value with -valuelist;
// the first value of the run is preceded by the count. The lines are
// gathered and reach standard output with the next flushListing(), which
// printSamples calls when it is done.
void printSample(uint32_t index, double value, uint32_t count);
void flushListing();
