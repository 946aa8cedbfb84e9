// The exact step against the extended division for every candidate over
// every slot count up to 2^20, a million random counts and the counts
// around each power of two: about 96 million comparisons, so it runs with
// the long tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "analysis/reference_table.h"
#include "common/bit_copy.h"
#include "extended_step.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

std::vector<uint32_t> stepCounts()
{
    std::vector<uint32_t> counts;
    for (uint32_t n = 0; n < (1u << 20); ++n)
        counts.push_back(n);
    std::mt19937 random(20261207);
    for (int i = 0; i < 1000000; ++i)
        counts.push_back(static_cast<uint32_t>(random()));
    counts.push_back(UINT32_MAX);
    for (int k = 1; k < 32; ++k)
        for (const int64_t offset : {-1, 0, 1})
            counts.push_back(static_cast<uint32_t>((int64_t{1} << k) + offset));
    return counts;
}

}  // namespace

TEST(ExactStep, MatchesTheExtendedDivisionForAllCandidates)
{
    if (!kExtendedHas64Bits)
        GTEST_SKIP() << "long double has no 64-bit significand here";
    long checked = 0, differing = 0;
    for (const uint32_t noSamples : stepCounts())
        for (uint32_t hertz = 100; hertz <= 1000; hertz += 20, ++checked) {
            const double want = extendedStep(noSamples, hertz);
            const double got = referenceStep(noSamples, hertz);
            if (bitCopy<uint64_t>(got) != bitCopy<uint64_t>(want) && differing++ < 10)
                ADD_FAILURE() << noSamples << " slots, " << hertz << " periods: " << got << " instead of " << want;
        }
    EXPECT_EQ(differing, 0) << "of " << checked;
}
