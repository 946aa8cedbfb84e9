// The step and the degree sines against the extended type, where it has a
// 64-bit significand (x86-64); elsewhere there is nothing to compare with.
// The sweep over every slot count up to 2^20 and a million others is in
// reference_step_exhaustive_test.cpp (the long tests).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "analysis/reference_table.h"
#include "common/bit_copy.h"
#include "extended_step.h"

using namespace tonalyx::detail;  // the library's internals under test

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
