#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "common/trace.h"

double processDFT(uint32_t maxX, uint32_t frequency)
{
    TRACE("processDFT() maxX=%u frequency=%u\n", maxX, frequency);
    // Each product is rounded to a double and added in index order as it is
    // formed, so no buffer of products is needed.
    const double mean = correlateReference(gSamples, maxX, gSineStep) / static_cast<double>(maxX);
    TRACE("processDFT() sum=%lf\n", mean);
    return mean;
}
