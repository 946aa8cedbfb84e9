// The reference behind makeSine and processDFT, exposed for its tests.
#pragma once

#include <cstdint>

#include "analysis/degree_sines.h"

// Distance in slots between two whole degrees: noSamples / noHertz / 360,
// each division rounded to a 64-bit significand, the result rounded to a
// double.
double referenceStep(uint32_t noSamples, uint32_t noHertz);

// The reference as the stepping defines it: starting at position 0.0,
// degree after degree (angles 0 to 359, again and again), the position
// growing by repeated double addition of `step`, each degree stored at the
// index its position truncates to, so the last degree to land there wins.
// Indices no degree lands on hold 0.

// The sum of samples[i] x ref[i] for i from 0 to count - 1, in index order,
// without building ref.
double correlateReference(const double* samples, uint32_t count, double step);

// ref[0 .. count) itself.
void fillReference(double* ref, uint32_t count, double step);
