#include "analysis/analysis.h"
#include "common/trace.h"

void sweepFrequencies(uint32_t length)
{
    double bestResult = 0.0;
    uint32_t bestFreq = 0;
    for (uint32_t freq = 100; freq <= 1000; freq += 20) {
        TRACE("main() freq=%u\n", freq);
        makeSine(length, freq);
        const double result = processDFT(length, freq);
        TRACE("result for freq.=%04u: %7.3lf\n", freq, result);
        // A later candidate with an equal result wins; a NaN never does.
        if (result >= bestResult) {
            bestResult = result;
            bestFreq = freq;
        }
        gSineHeld = false;
    }
    std::printf("\nbestResult=%lf best matching freq.=%u\n", bestResult, bestFreq);
}
