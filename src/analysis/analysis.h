// Signal analysis: normalisation, the reference sine of one candidate, the
// correlation with it, and the sweep over all candidates.
#pragma once

#include <cstdint>

namespace tonalyx::detail {

struct RunState;

// Scales the held slots in place: slots >= 0 by the largest slot (at least
// 0.1), negative slots by the magnitude of the smallest one.
void normalizeData(RunState& run);

// Sets up the reference of `noHertz` periods across noSamples slots (its
// step, in sineStep); entries the stepping skips count as 0. Returns 0
// (there is nothing to allocate that could fail).
int makeSine(RunState& run, uint32_t maxX, uint32_t noHertz);

// The mean of samples[i] x reference[i] over the first maxX slots. Under
// the sweep's bound (correlationBound) a candidate that cannot reach the
// best result so far may give minus infinity instead.
double processDFT(RunState& run, uint32_t maxX, uint32_t frequency);

// Tries the candidates 100, 120, ..., 1000, keeps the best one (and each
// one's result when the run keeps them) and prints the result line.
void sweepFrequencies(RunState& run, uint32_t length);

}  // namespace tonalyx::detail
