// Without the trace the sweep may give up on candidates that cannot win;
// the result line must come out as when every candidate is finished (as
// with -v, which prints every result).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "analysis/analysis.h"
#include "wave_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

std::string resultLine(const std::vector<double>& slots, uint32_t declared, bool verbose)
{
    TestRun test({}, verbose);
    test.hold(slots, declared);
    sweepFrequencies(test.run, test.run.heldSlots);
    const std::string out = test.take().out;
    return out.substr(out.rfind("\nbestResult="));
}

// Slots already in [-1, 1], as normalisation leaves them.
std::vector<double> signal(std::mt19937& random, uint32_t length, uint32_t declared)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double periods = std::uniform_real_distribution<double>(50, 1100)(random);
    const double second = 100 + 20 * static_cast<int>(random() % 46);  // a second tone on a candidate
    const double mix = unit(random), noise = std::fabs(unit(random));
    std::vector<double> slots(length);
    double largest = 1e-9;
    for (uint32_t i = 0; i < length; ++i) {
        const double x = 2 * M_PI * i / declared;
        slots[i] = std::sin(periods * x + unit(random) * 0.01) + mix * std::sin(second * x) + noise * unit(random);
        largest = std::max(largest, std::fabs(slots[i]));
    }
    for (double& slot : slots)
        slot /= largest;
    return slots;
}

}  // namespace

TEST(SweepBound, GivesTheResultOfTheFullSweep)
{
    std::mt19937 random(4711);
    for (int i = 0; i < 60; ++i) {
        const uint32_t length = 1 + static_cast<uint32_t>(random() % 4096);
        const uint32_t declared = length + static_cast<uint32_t>(random() % 100000);
        const std::vector<double> slots = signal(random, length, declared);
        EXPECT_EQ(resultLine(slots, declared, false), resultLine(slots, declared, true)) << i;
    }
    // Silence ties at 0 everywhere; all negative keeps the start values; a
    // pure candidate sine ties only with itself.
    for (const std::vector<double>& slots :
         {std::vector<double>(1024, 0.0), std::vector<double>(1024, -1.0), signal(random, 1024, 44100)})
        EXPECT_EQ(resultLine(slots, 44100, false), resultLine(slots, 44100, true));
}
