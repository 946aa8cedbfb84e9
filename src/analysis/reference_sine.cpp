#include <algorithm>
#include <cstdlib>

#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "common/trace.h"

int makeSine(uint32_t maxX, uint32_t noHertz)
{
    if (noHertz == 0)
        noHertz = 1;
    TRACE("makeSine() maxX=%u noHertz=%u\n", maxX, noHertz);

    // The correlation reads the first maxX entries only; no more is built.
    const uint32_t count = std::min(maxX, gNoSamples);
    if (!gSine) {
        gSine = static_cast<double*>(std::malloc((count ? count : 1) * sizeof(double)));
        TRACE("makeSine() noSamples=%u\n", gNoSamples);
        if (!gSine) {
            std::fprintf(stderr, "makeSine(): ERROR cannot allocate memory for sine data\n");
            return -1;
        }
    }
    const double step = referenceStep(gNoSamples, noHertz);
    TRACE("makeSine() step=%lf\n", step);
    fillReference(gSine, count, step);
    return 0;
}
