#include <cmath>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "analysis/result_line.h"
#include "common/candidates.h"
#include "run/run_state.h"

namespace tonalyx::detail {

namespace {

// tail[k]: the sum of |samples[i]| for i from 64 k to length - 1.
std::vector<double> sampleTails(const double* samples, uint32_t length)
{
    std::vector<double> tail((length + CorrelationBound::kTailSlots - 1) / CorrelationBound::kTailSlots);
    double sum = 0.0;
    for (uint32_t i = length; i-- > 0;) {
        sum += std::fabs(samples[i]);
        if (i % CorrelationBound::kTailSlots == 0)
            tail[i / CorrelationBound::kTailSlots] = sum;
    }
    return tail;
}

}  // namespace

void sweepFrequencies(RunState& run, uint32_t length)
{
    double bestResult = 0.0;
    uint32_t bestFreq = 0;
    // When only the best result is printed and kept, a candidate whose
    // result is sure to stay below the best so far need not be finished.
    const bool bounded = !run.verbose() && !run.candidates;
    const std::vector<double> tail = bounded ? sampleTails(run.samples.data(), length) : std::vector<double>();
    CorrelationBound bound{tail.data(), bestResult};
    run.correlationBound = bounded ? &bound : nullptr;

    for (std::size_t index = 0; index < tonalyx::kCandidateCount; ++index) {
        const uint32_t freq = tonalyx::candidateAt(index);
        TRACE(run, "main() freq=%u\n", freq);
        makeSine(run, length, freq);
        bound.neededFrom = bestResult;
        const double result = processDFT(run, length, freq);
        TRACE(run, "result for freq.=%04u: %7.3lf\n", freq, result);
        if (run.candidates)
            run.candidates->push_back({freq, result});
        // A later candidate with an equal result wins; a NaN never does.
        if (result >= bestResult) {
            bestResult = result;
            bestFreq = freq;
        }
        run.sineHeld = false;
    }
    run.correlationBound = nullptr;
    run.bestResult = bestResult;
    run.bestFreq = bestFreq;
    run.out.result("\n%s\n", resultLine(bestResult, bestFreq).c_str());
}

}  // namespace tonalyx::detail
