#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "analysis/reference_table.h"
#include "stepping_model.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

std::vector<double> fastTable(uint32_t count, double step)
{
    std::vector<double> ref(count, 12345.0);  // nothing may survive from before
    fillReference(ref.data(), count, step);
    return ref;
}

// Compares bit for bit; returns the first differing slot or -1.
long firstDifference(const std::vector<double>& fast, const std::vector<int>& degrees)
{
    for (size_t i = 0; i < fast.size(); ++i) {
        const double want = modelSine(degrees[i]);
        if (std::memcmp(&fast[i], &want, sizeof want) != 0)
            return static_cast<long>(i);
    }
    return -1;
}

size_t unwritten(const std::vector<int>& degrees)
{
    return static_cast<size_t>(std::count(degrees.begin(), degrees.end(), -1));
}

}  // namespace

TEST(ReferenceStep, DividesAtExtendedPrecision)
{
    EXPECT_EQ(referenceStep(360, 1), 1.0);
    EXPECT_EQ(referenceStep(36, 1), 0.1);
    EXPECT_EQ(referenceStep(44100, 100), 1.225);
    EXPECT_EQ(referenceStep(0, 100), 0.0);
    // Plain double divisions give another last bit for some of these.
    int differing = 0;
    for (const uint32_t samples : {24000u, 32000u, 48000u})
        for (uint32_t hertz = 100; hertz <= 1000; hertz += 20)
            differing += referenceStep(samples, hertz) != double(samples) / hertz / 360.0;
    EXPECT_GT(differing, 0);
}

TEST(ReferenceTable, SinesOfWholeDegrees)
{
    // 360 slots, one period: step 1.0, so slot k holds sin(k degrees).
    const std::vector<double> sine = fastTable(360, 1.0);
    EXPECT_EQ(sine[0], 0.0);
    EXPECT_LT(sine[90], 1.0);  // 90 x 3.1415926 / 180 falls short of pi / 2
    EXPECT_GT(sine[90], 1.0 - 1e-15);
    EXPECT_GT(sine[180], 0.0);  // the constant is 3.1415926, not pi
    EXPECT_LT(sine[180], 1e-7);
    for (int degree = 0; degree < 360; ++degree)
        EXPECT_EQ(sine[static_cast<size_t>(degree)], modelSine(degree)) << degree;
}

TEST(ReferenceTable, WorkedTables)
{
    // 36 slots, one period: step 0.1; repeated addition decides the slots.
    const std::vector<int> expect36 = {10,  19,  29,  39,  50,  60,  70,  80,  90,  100, 110, 120,
                                       130, 140, 150, 160, 170, 180, 189, 199, 209, 219, 229, 239,
                                       249, 259, 269, 279, 289, 299, 309, 319, 329, 339, 349, 359};
    EXPECT_EQ(lastDegrees(36, referenceStep(36, 1)), expect36);
    EXPECT_EQ(firstDifference(fastTable(36, referenceStep(36, 1)), expect36), -1);

    std::vector<int> expect360(360), expect720(720, -1);
    for (int i = 0; i < 360; ++i)
        expect360[static_cast<size_t>(i)] = i, expect720[static_cast<size_t>(2 * i)] = i;
    EXPECT_EQ(firstDifference(fastTable(360, referenceStep(360, 1)), expect360), -1);
    EXPECT_EQ(firstDifference(fastTable(720, referenceStep(720, 1)), expect720), -1);

    // 44100 slots: 100 periods leave 8099 slots out, the first 5, 10, 16, 21;
    // 120 periods leave 900 out; from 140 on every slot is written.
    struct Row {
        uint32_t hertz;
        size_t left;
    } rows[] = {{100, 44100 - 36001}, {120, 900}, {140, 0}, {520, 0}, {1000, 0}};
    for (const Row& row : rows) {
        const double step = referenceStep(44100, row.hertz);
        const std::vector<int> degrees = lastDegrees(44100, step);
        EXPECT_EQ(unwritten(degrees), row.left) << row.hertz;
        EXPECT_EQ(firstDifference(fastTable(44100, step), degrees), -1) << row.hertz;
    }
    const std::vector<int> degrees100 = lastDegrees(44100, 1.225);
    EXPECT_EQ(degrees100[4], 4);
    EXPECT_EQ(degrees100[5], -1);
    EXPECT_EQ(degrees100[10], -1);
    EXPECT_EQ(degrees100[16], -1);
    EXPECT_EQ(degrees100[21], -1);
    EXPECT_EQ(std::count(degrees100.begin(), degrees100.begin() + 21, -1), 3);
}

TEST(ReferenceTable, MatchesStraightforwardSteppingOnRandomCounts)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<uint32_t> anySamples(1, 200000);
    std::uniform_int_distribution<int> candidate(0, 45);
    std::vector<uint32_t> samples = {1, 2, 3, 36, 360, 720, 1024, 4096, 8000, 24000, 32000, 44100, 48000, 96000};
    // Counts where the step is an exact binary fraction: 360 x hertz x 2^k.
    for (int k = -6; k <= 2; ++k)
        samples.push_back(static_cast<uint32_t>(std::ldexp(360.0 * 128, k)));
    for (int i = 0; i < 150; ++i)
        samples.push_back(anySamples(random));

    for (const uint32_t noSamples : samples) {
        for (int pick = 0; pick < 4; ++pick) {
            const uint32_t hertz = 100 + 20 * static_cast<uint32_t>(candidate(random));
            const double step = referenceStep(noSamples, hertz);
            const uint32_t count = std::uniform_int_distribution<uint32_t>(1, std::min(noSamples, 4096u))(random);
            const std::vector<int> degrees = lastDegrees(noSamples, step, count);
            ASSERT_EQ(firstDifference(fastTable(count, step), degrees), -1)
                << noSamples << " slots, " << hertz << " periods, count " << count;
        }
    }
}
