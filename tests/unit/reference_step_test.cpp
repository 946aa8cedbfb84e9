// The step and the degree sines against the extended type, where it has a
// 64-bit significand (x86-64); elsewhere there is nothing to compare with.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "analysis/reference_table.h"
#include "common/bit_copy.h"

namespace {

constexpr bool kExtendedHas64Bits = std::numeric_limits<long double>::digits == 64;

double extendedStep(uint32_t noSamples, uint32_t noHertz)
{
    return static_cast<double>(static_cast<long double>(noSamples) / static_cast<long double>(noHertz) / 360.0L);
}

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

TEST(ExactStep, MatchesTheExtendedDivisionForOtherDivisors)
{
    if (!kExtendedHas64Bits)
        GTEST_SKIP() << "long double has no 64-bit significand here";
    // Divisors well away from the candidates: up to 2^32 - 1, and 1.
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        const auto noSamples = static_cast<uint32_t>(random());
        const uint32_t noHertz = i % 3 == 0 ? 1 : i % 3 == 1 ? static_cast<uint32_t>(random()) | 1u : UINT32_MAX - (i & 7);
        ASSERT_EQ(bitCopy<uint64_t>(referenceStep(noSamples, noHertz)),
                  bitCopy<uint64_t>(extendedStep(noSamples, noHertz)))
            << noSamples << " / " << noHertz;
    }
}

TEST(DegreeSines, AreTheExtendedSinesOfTheExactProducts)
{
    if (!kExtendedHas64Bits)
        GTEST_SKIP() << "long double has no 64-bit significand here";
    const double degRad = 3.1415926 / 180.0;
    for (int degree = 0; degree < 360; ++degree) {
        const auto want = static_cast<double>(sinl(static_cast<long double>(degree) * degRad));
        char literal[40];
        std::snprintf(literal, sizeof literal, "%a", want);
        EXPECT_EQ(bitCopy<uint64_t>(kDegreeSines[degree]), bitCopy<uint64_t>(want))
            << "degree " << degree << " should be " << literal;
    }
    EXPECT_EQ(bitCopy<uint64_t>(kDegreeSines[360]), 0u);
}
