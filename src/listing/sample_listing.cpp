#include "listing/sample_listing.h"

#include <cstdio>

#include "common/globals.h"

void printSample(uint32_t index, double value, uint32_t count)
{
    if (gGnuplot)
        std::printf("%lf %lf\n", static_cast<double>(index), value);
    if (gValuelist) {
        if (gValuelistCalls++ == 0)
            std::printf("%u\n", count);
        std::printf("%lf\n", value);
    }
}

void printSamples(uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        printSample(i, gSamples[i], count);
}
