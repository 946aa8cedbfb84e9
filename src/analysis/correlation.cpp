#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "run/run_state.h"

namespace tonalyx::detail {

double processDFT(RunState& run, uint32_t maxX, uint32_t frequency)
{
    TRACE(run, "processDFT() maxX=%u frequency=%u\n", maxX, frequency);
    // Each product is rounded to a double and added in index order as it is
    // formed, so no buffer of products is needed. Under the sweep's bound a
    // result that cannot win may come back as minus infinity.
    const double mean =
        correlateReference(run.samples.data(), maxX, run.sineStep, run.correlationBound) / static_cast<double>(maxX);
    TRACE(run, "processDFT() sum=%lf\n", mean);
    return mean;
}

}  // namespace tonalyx::detail
