// The reference table behind makeSine, exposed for its tests.
#pragma once

#include <cstdint>

// Distance in slots between two whole degrees: noSamples / noHertz / 360,
// each division rounded to a 64-bit significand, the result rounded to a
// double.
double referenceStep(uint32_t noSamples, uint32_t noHertz);

// The sines of the whole degrees 0 to 359; entry 360 holds 0.
extern const double kDegreeSines[361];

// Writes ref[0 .. count) as the stepping does: starting at position 0.0,
// degree after degree (angles 0 to 359, again and again), the position
// growing by repeated double addition of `step`, each degree stored at the
// index its position truncates to, so the last degree to land there wins.
// Indices no degree lands on hold 0.
void fillReference(double* ref, uint32_t count, double step);
