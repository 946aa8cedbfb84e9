// The reference of one candidate: its step, the sines it takes, and the
// correlation with it (fillReference only for the tests).
#pragma once

#include <cstdint>

#include "analysis/degree_sines.h"

namespace tonalyx::detail {

// Distance in slots between two whole degrees: noSamples / noHertz / 360,
// each division rounded to a 64-bit significand, the result rounded to a
// double.
double referenceStep(uint32_t noSamples, uint32_t noHertz);

// What a correlation may leave unfinished: a sum whose mean (the sum over
// count) is sure to stay below neededFrom, however the slots still to come
// add up. tail[k] is the sum of |samples[i]| from i = 64 k to count - 1.
struct CorrelationBound {
    static constexpr uint32_t kTailSlots = 64;
    const double* tail;
    double neededFrom;
};

// ref below is the reference as the stepping defines it: starting at
// position 0.0, degree after degree (angles 0 to 359, again and again), the
// position growing by repeated double addition of `step`, each degree
// stored at the index its position truncates to, so the last degree to land
// there wins. Indices no degree lands on hold 0.

// The sum of samples[i] x ref[i] for i from 0 to count - 1, in index order,
// without building ref. With a bound it may stop early, and then returns
// minus infinity: its mean would have stayed below bound->neededFrom.
double correlateReference(const double* samples, uint32_t count, double step,
                          const CorrelationBound* bound = nullptr);

// ref[0 .. count) itself.
void fillReference(double* ref, uint32_t count, double step);

}  // namespace tonalyx::detail
