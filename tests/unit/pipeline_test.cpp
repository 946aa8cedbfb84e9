// The whole run against a straightforward model of it: every degree
// stepped, a full-length reference per candidate, products summed in order.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/run.h"
#include "stepping_model.h"
#include "wave_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

std::vector<double> normalised(const std::vector<long>& values, uint32_t length)
{
    std::vector<double> slots(values.begin(), values.begin() + length);
    double maxVal = 0.1, minVal = -0.1;
    for (const double s : slots)
        maxVal = std::max(maxVal, s), minVal = std::min(minVal, s);
    minVal = std::abs(static_cast<int>(minVal));
    for (double& s : slots)
        s = s >= 0 ? s / maxVal : s / minVal;
    return slots;
}

// The "processDFT() sum=" line of every candidate, as the model prints it.
std::vector<std::string> modelMeans(const std::vector<double>& slots, uint32_t noSamples, bool plainStep)
{
    std::vector<std::string> means;
    for (uint32_t hertz = 100; hertz <= 1000; hertz += 20) {
        const double step = plainStep ? double(noSamples) / hertz / 360.0 : referenceStep(noSamples, hertz);
        const std::vector<int> degrees = lastDegrees(noSamples, step);
        double sum = 0.0;
        for (size_t i = 0; i < slots.size(); ++i)
            sum += slots[i] * modelSine(degrees[i]);
        char line[80];
        std::snprintf(line, sizeof line, "processDFT() sum=%lf", sum / static_cast<double>(slots.size()));
        means.push_back(line);
    }
    return means;
}

std::vector<std::string> toolMeans(const std::string& path, uint32_t length)
{
    const std::string lengthText = std::to_string(length);
    const char* argv[] = {"tonalyx", "-v", "-length", lengthText.c_str(), "-i", path.c_str()};
    const Printed printed = capture([&] { runTonalyx(6, argv); });
    std::vector<std::string> means;
    std::istringstream lines(printed.out);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("processDFT() sum="))
            means.push_back(line);
    return means;
}

}  // namespace

TEST(Pipeline, EveryCandidateMatchesTheSteppingModel)
{
    struct Row {
        uint32_t slots;
        double periods;
        uint32_t length;
    } rows[] = {
        {24000, 300, 1024}, {24000, 510, 4096}, {32000, 440, 1024}, {32000, 777, 4096},
        {48000, 440, 4096}, {48000, 1000, 1024}, {8000, 100, 4096},  {4096, 700, 4096},
        {96000, 250, 2000}, {1500, 140, 1500},
    };
    int plainDiffers = 0;
    for (const Row& row : rows) {
        const std::vector<long> values = toneSlots({.periods = row.periods, .slots = row.slots, .amplitude = 9000});
        TempWave file(buildWave({.data = encodeSlots(values)}));
        const std::vector<double> slots = normalised(values, row.length);
        const std::vector<std::string> want = modelMeans(slots, row.slots, false);
        EXPECT_EQ(toolMeans(file.path(), row.length), want) << row.slots << " slots, length " << row.length;
        plainDiffers += modelMeans(slots, row.slots, true) != want;
    }
    // The extended-precision step matters for these counts.
    EXPECT_GT(plainDiffers, 0);
}
