#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "run/run_state.h"

namespace tonalyx::detail {

int makeSine(RunState& run, uint32_t maxX, uint32_t noHertz)
{
    if (noHertz == 0)
        noHertz = 1;
    TRACE(run, "makeSine() maxX=%u noHertz=%u\n", maxX, noHertz);
    // The reference is all in its step: processDFT produces each value
    // where it needs it, so there is no table to allocate (and none that
    // could fail). The sweep releases the reference after every candidate.
    if (!run.sineHeld) {
        run.sineHeld = true;
        TRACE(run, "makeSine() noSamples=%u\n", run.noSamples);
    }
    run.sineStep = referenceStep(run.noSamples, noHertz);
    TRACE(run, "makeSine() step=%lf\n", run.sineStep);
    return 0;
}

}  // namespace tonalyx::detail
