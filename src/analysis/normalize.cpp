#include <cstdlib>

#include "analysis/analysis.h"
#include "run/run_state.h"

namespace tonalyx::detail {

void normalizeData(RunState& run)
{
    double maxVal = 0.1;
    double minVal = -0.1;
    TRACE(run, "normalizeData() gNoSamples=%u\n", run.noSamples);

    // Slots past the held ones are 0: they move neither bound and stay 0.
    // The slots are whole numbers (never NaN), so taking the smaller value
    // on a tie, as a slot <= minVal would, changes nothing.
    double* const slots = run.samples.data();
    const uint32_t count = run.heldSlots;
    for (uint32_t i = 0; i < count; ++i) {
        const double slot = slots[i];
        maxVal = slot > maxVal ? slot : maxVal;
        minVal = slot < minVal ? slot : minVal;
    }
    TRACE(run, "normalizeData() minVal=%lf maxVal=%lf\n", minVal, maxVal);

    // The magnitude as a whole number; 0 when no slot is negative, and then
    // no slot is ever divided by it.
    minVal = static_cast<double>(std::abs(static_cast<int32_t>(minVal)));
    for (uint32_t i = 0; i < count; ++i) {
        const double slot = slots[i];
        slots[i] = slot / (slot >= 0 ? maxVal : minVal);
    }
}

}  // namespace tonalyx::detail
