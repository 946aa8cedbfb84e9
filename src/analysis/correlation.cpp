#include "analysis/analysis.h"
#include "common/trace.h"

double processDFT(uint32_t maxX, uint32_t frequency)
{
    TRACE("processDFT() maxX=%u frequency=%u\n", maxX, frequency);
    // Each product is rounded to a double and summed in index order, as it is
    // formed: no buffer of products is needed for that.
    double sum = 0.0;
    for (uint32_t i = 0; i < maxX; ++i)
        sum += gSamples[i] * gSine[i];
    const double mean = sum / static_cast<double>(maxX);
    TRACE("processDFT() sum=%lf\n", mean);
    return mean;
}
