#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "analysis/analysis.h"
#include "analysis/reference_table.h"
#include "cli/sample_listing.h"
#include "wave_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

class Analysis : public testing::Test {};

}  // namespace

TEST_F(Analysis, NormalisationScalesPositiveAndNegativeSlotsApart)
{
    struct Row {
        std::vector<double> slots;
        std::string trace;
        std::vector<double> want;
    } rows[] = {
        {{-32768, -1, 0, 1, 16384, 32767},
         "minVal=-32768.000000 maxVal=32767.000000",
         {-1, -1 / 32768.0, 0, 1 / 32767.0, 16384 / 32767.0, 1}},
        {{0, 0, 0}, "minVal=-0.100000 maxVal=0.100000", {0, 0, 0}},
        // No negative slot: minVal becomes 0 and is never a divisor.
        {{5, 10}, "minVal=-0.100000 maxVal=10.000000", {0.5, 1}},
        {{-3, -6, 0}, "minVal=-6.000000 maxVal=0.100000", {-0.5, -1, 0}},
        {{}, "minVal=-0.100000 maxVal=0.100000", {}},
    };
    for (const Row& row : rows) {
        TestRun test;
        test.hold(row.slots, static_cast<uint32_t>(row.slots.size()) + 100);
        normalizeData(test.run);
        EXPECT_EQ(test.take().out, "normalizeData() gNoSamples=" + std::to_string(row.slots.size() + 100) +
                                       "\nnormalizeData() " + row.trace + "\n");
        EXPECT_EQ(test.run.samples, row.want) << row.trace;
    }
}

TEST_F(Analysis, CorrelationIsTheMeanOfTheProductsOfSlotsAndReference)
{
    TestRun test;
    test.hold({0.5, -1, 0.25, 1}, 360);
    makeSine(test.run, 4, 1);  // step 1.0: slot k holds sin(k degrees), of pi taken as 3.1415926
    const double result = processDFT(test.run, 4, 1);
    // By hand: (0.5 sin 0 - sin 1 + 0.25 sin 2 + sin 3) / 4 = 0.0109021058...
    const double degree = 3.1415926 / 180;
    EXPECT_NEAR(result, (-std::sin(degree) + 0.25 * std::sin(2 * degree) + std::sin(3 * degree)) / 4, 1e-16);
    EXPECT_EQ(test.take().out,
              "makeSine() maxX=4 noHertz=1\nmakeSine() noSamples=360\nmakeSine() step=1.000000\n"
              "processDFT() maxX=4 frequency=1\nprocessDFT() sum=0.010902\n");
}

TEST_F(Analysis, MakeSineAllocatesOnlyWhenNotHeldAndTracesAZeroFrequencyAsOne)
{
    TestRun test;
    test.hold({1, 2}, 2);
    makeSine(test.run, 2, 0);
    EXPECT_EQ(test.take().out, "makeSine() maxX=2 noHertz=1\nmakeSine() noSamples=2\nmakeSine() step=0.005556\n");
    makeSine(test.run, 2, 100);
    EXPECT_EQ(test.take().out, "makeSine() maxX=2 noHertz=100\nmakeSine() step=0.000056\n");
}

TEST_F(Analysis, SweepKeepsTheLaterOfEqualResults)
{
    // All slots 0: every candidate ties at 0.0, the last one stays.
    TestRun silent({}, false);
    silent.hold({0, 0, 0, 0}, 4);
    sweepFrequencies(silent.run, 4);
    EXPECT_EQ(silent.take().out, "\nbestResult=0.000000 best matching freq.=1000\n");
    EXPECT_FALSE(silent.run.sineHeld);
    // All slots negative: nothing beats the start values.
    TestRun negative({}, false);
    negative.hold({-1, -1, -1, -1}, 44100);
    sweepFrequencies(negative.run, 4);
    EXPECT_EQ(negative.take().out, "\nbestResult=0.000000 best matching freq.=0\n");
}

TEST_F(Analysis, ListingFormatsAndTheirOrder)
{
    struct Row {
        bool gnuplot, valuelist;
        std::string want;
    } rows[] = {
        {true, false, "0.000000 0.500000\n1.000000 -1.000000\n2.000000 0.000000\n"},
        {false, true, "3\n0.500000\n-1.000000\n0.000000\n"},
        {true, true, "0.000000 0.500000\n3\n0.500000\n1.000000 -1.000000\n-1.000000\n2.000000 0.000000\n0.000000\n"},
    };
    for (const Row& row : rows) {
        const double slots[] = {0.5, -1, 0, 0.75};
        std::string listed;
        listSamples(slots, 3, row.gnuplot, row.valuelist, [&](std::string_view text) { listed += text; });
        EXPECT_EQ(listed, row.want);
    }
}
