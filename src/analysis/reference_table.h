// The reference table behind makeSine, exposed for its tests.
#pragma once

#include <cstdint>

// Distance in slots between two whole degrees: noSamples / noHertz / 360,
// both divisions at extended precision, rounded to a double once.
double referenceStep(uint32_t noSamples, uint32_t noHertz);

// Writes ref[0 .. count) as the stepping does: starting at position 0.0,
// degree after degree (angles 0 to 359, again and again), the position
// growing by repeated double addition of `step`, each degree stored at the
// index its position truncates to, so the last degree to land there wins.
// Indices no degree lands on hold 0.
void fillReference(double* ref, uint32_t count, double step);
