#include <cmath>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "common/trace.h"

namespace {

// tail[k]: the sum of |gSamples[i]| for i from 64 k to length - 1.
std::vector<double> sampleTails(uint32_t length)
{
    std::vector<double> tail((length + CorrelationBound::kTailSlots - 1) / CorrelationBound::kTailSlots);
    double sum = 0.0;
    for (uint32_t i = length; i-- > 0;) {
        sum += std::fabs(gSamples[i]);
        if (i % CorrelationBound::kTailSlots == 0)
            tail[i / CorrelationBound::kTailSlots] = sum;
    }
    return tail;
}

}  // namespace

void sweepFrequencies(uint32_t length)
{
    double bestResult = 0.0;
    uint32_t bestFreq = 0;
    // Without the trace only the best result is printed: a candidate whose
    // result is sure to stay below the best so far need not be finished.
    const std::vector<double> tail = gVerbose ? std::vector<double>() : sampleTails(length);
    CorrelationBound bound{tail.data(), bestResult};
    gCorrelationBound = gVerbose ? nullptr : &bound;

    for (uint32_t freq = 100; freq <= 1000; freq += 20) {
        TRACE("main() freq=%u\n", freq);
        makeSine(length, freq);
        bound.neededFrom = bestResult;
        const double result = processDFT(length, freq);
        TRACE("result for freq.=%04u: %7.3lf\n", freq, result);
        // A later candidate with an equal result wins; a NaN never does.
        if (result >= bestResult) {
            bestResult = result;
            bestFreq = freq;
        }
        gSineHeld = false;
    }
    gCorrelationBound = nullptr;
    std::printf("\nbestResult=%lf best matching freq.=%u\n", bestResult, bestFreq);
}
