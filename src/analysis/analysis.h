// Signal analysis: normalisation, the reference sine of one candidate, the
// correlation with it, and the sweep over all candidates.
#pragma once

#include <cstdint>

// Scales the held slots in place: slots >= 0 by the largest slot (at least
// 0.1), negative slots by the magnitude of the smallest one.
void normalizeData();

// Sets up the reference of `noHertz` periods across gNoSamples slots (its
// step, in gSineStep); entries the stepping skips count as 0. Returns 0
// (there is nothing to allocate that could fail).
int makeSine(uint32_t maxX, uint32_t noHertz);

// The mean of gSamples[i] x reference[i] over the first maxX slots. Under
// the sweep's bound (gCorrelationBound) a candidate that cannot reach the
// best result so far may give minus infinity instead.
double processDFT(uint32_t maxX, uint32_t frequency);

// Tries the candidates 100, 120, ..., 1000 and prints the best one.
void sweepFrequencies(uint32_t length);
