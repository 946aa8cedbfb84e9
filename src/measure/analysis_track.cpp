#include "measure/analysis_track.h"

#include <algorithm>
#include <cmath>

#include "measure/exact_math.h"

namespace tonalyx::measurement {

namespace {

constexpr double kLargest = 1e9;

}  // namespace

AnalysisTrack analysisTrackOf(const Track& track)
{
    AnalysisTrack out;
    out.step = thinningStep(static_cast<std::uint32_t>(track.rate));
    out.sourceRate = track.rate;
    out.rate = track.rate / out.step;
    const std::uint64_t frames = track.frames / out.step;
    out.samples.resize(frames);
    double total = 0.0;
    const std::size_t stride = track.stride;
    const float* x = track.first;
    for (std::uint64_t n = 0; n < frames; ++n) {
        double sum = 0.0;
        for (std::uint32_t k = 0; k < out.step; ++k, x += stride)
            sum += *x;
        // Floats may hold anything: far past full scale the figures would
        // overflow, and nothing printed needs them.
        const double mean = std::clamp(sum / out.step, -kLargest, kLargest);
        out.samples[n] = static_cast<float>(mean);
        total += mean;
    }
    if (frames > 0) {
        const double offset = total / static_cast<double>(frames);
        for (float& v : out.samples)
            v = static_cast<float>(v - offset);
    }
    return out;
}

double boxcarGain(double hz, std::uint32_t step, double sourceRate)
{
    if (step <= 1 || hz <= 0.0)
        return 1.0;
    const double turns = hz / sourceRate * 0.5;  // pi f / r in turns of 2 pi
    const double numerator = unitOfTurns(turns * step).im;
    const double denominator = step * unitOfTurns(turns).im;
    return denominator != 0.0 ? std::fabs(numerator / denominator) : 1.0;
}

}  // namespace tonalyx::measurement
