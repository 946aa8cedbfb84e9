// Signal analysis: normalisation, the reference sine of one candidate, the
// correlation with it, and the sweep over all candidates.
#pragma once

#include <cstdint>

// Scales the held slots in place: slots >= 0 by the largest slot (at least
// 0.1), negative slots by the magnitude of the smallest one.
void normalizeData();

// Fills gSine with the reference of `noHertz` periods across gNoSamples
// slots; only the first `maxX` entries are built, as nothing reads more.
// Entries the stepping skips hold 0. Returns 0, or -1 without a buffer.
int makeSine(uint32_t maxX, uint32_t noHertz);

// The mean of gSamples[i] x gSine[i] over the first maxX slots.
double processDFT(uint32_t maxX, uint32_t frequency);

// Tries the candidates 100, 120, ..., 1000 and prints the best one.
void sweepFrequencies(uint32_t length);
