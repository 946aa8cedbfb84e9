#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "common/trace.h"

int makeSine(uint32_t maxX, uint32_t noHertz)
{
    if (noHertz == 0)
        noHertz = 1;
    TRACE("makeSine() maxX=%u noHertz=%u\n", maxX, noHertz);
    // The reference is all in its step: processDFT produces each value
    // where it needs it, so there is no table to allocate (and none that
    // could fail). The sweep releases the reference after every candidate.
    if (!gSineHeld) {
        gSineHeld = true;
        TRACE("makeSine() noSamples=%u\n", gNoSamples);
    }
    gSineStep = referenceStep(gNoSamples, noHertz);
    TRACE("makeSine() step=%lf\n", gSineStep);
    return 0;
}
