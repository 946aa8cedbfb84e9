#include "analysis/analysis.h"
#include "common/trace.h"

double processDFT(uint32_t maxX, uint32_t frequency)
{
    TRACE("processDFT() maxX=%u frequency=%u\n", maxX, frequency);
    // Each product is rounded to a double and added in index order as it is
    // formed, so no buffer of products is needed. Unrolled by hand; the
    // order of the additions stays the same.
    const double* samples = gSamples;
    const double* sine = gSine;
    double sum = 0.0;
    uint32_t i = 0;
    for (; i + 4 <= maxX; i += 4) {
        sum += samples[i] * sine[i];
        sum += samples[i + 1] * sine[i + 1];
        sum += samples[i + 2] * sine[i + 2];
        sum += samples[i + 3] * sine[i + 3];
    }
    for (; i < maxX; ++i)
        sum += samples[i] * sine[i];
    const double mean = sum / static_cast<double>(maxX);
    TRACE("processDFT() sum=%lf\n", mean);
    return mean;
}
