#include <cstdlib>

#include "analysis/analysis.h"
#include "common/trace.h"

void normalizeData()
{
    double maxVal = 0.1;
    double minVal = -0.1;
    TRACE("normalizeData() gNoSamples=%u\n", gNoSamples);

    // Slots past the held ones are 0: they move neither bound and stay 0.
    for (uint32_t i = 0; i < gHeldSlots; ++i) {
        const double slot = gSamples[i];
        if (slot > maxVal)
            maxVal = slot;
        if (slot <= minVal)
            minVal = slot;
    }
    TRACE("normalizeData() minVal=%lf maxVal=%lf\n", minVal, maxVal);

    // The magnitude as a whole number; 0 when no slot is negative, and then
    // no slot is ever divided by it.
    minVal = static_cast<double>(std::abs(static_cast<int32_t>(minVal)));
    for (uint32_t i = 0; i < gHeldSlots; ++i) {
        double& slot = gSamples[i];
        slot = slot >= 0 ? slot / maxVal : slot / minVal;
    }
}
