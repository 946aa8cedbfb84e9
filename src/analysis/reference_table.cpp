#include "analysis/reference_table.h"

#include "analysis/reference_walk.h"

double correlateReference(const double* samples, uint32_t count, double step)
{
    // A slot no degree lands on adds a product of 0, which leaves the sum
    // as it is (the sum starts at +0 and can never become -0).
    double sum = 0.0;
    auto add = [&](uint64_t slot, double value) { sum += samples[slot] * value; };
    reference::SlotsOf<decltype(add)> slots{add};
    reference::walkReference(count, step, slots);
    return sum;
}

void fillReference(double* ref, uint32_t count, double step)
{
    for (uint32_t i = 0; i < count; ++i)
        ref[i] = 0.0;
    auto store = [&](uint64_t slot, double value) { ref[slot] = value; };
    reference::SlotsOf<decltype(store)> slots{store};
    reference::walkReference(count, step, slots);
}
