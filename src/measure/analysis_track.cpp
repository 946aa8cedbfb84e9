#include "measure/analysis_track.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "measure/exact_math.h"

namespace tonalyx::detail::measurement {

namespace {

constexpr double kLargest = 1e9;
constexpr double kRumbleHz = 35.0;
constexpr double kButterworthQ = 0.70710678118654752440;

// Rumble (below 30 Hz, up to 10 dB over a tone) would bury the mains'
// 50 and 60 Hz in the lowest bins: a second-order Butterworth high-pass
// at kRumbleHz takes 20 dB or more off it and under 1 dB off 50 Hz.
void removeRumble(AnalysisTrack& track)
{
    const Phasor w = unitOfTurns(kRumbleHz / track.rate);
    const double alpha = w.im / (2.0 * kButterworthQ);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 + w.re) / 2.0 / a0, b1 = -(1.0 + w.re) / a0, b2 = b0;
    const double a1 = -2.0 * w.re / a0, a2 = (1.0 - alpha) / a0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (float& v : track.samples) {
        const double x = v;
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        v = static_cast<float>(y);
    }
}

}  // namespace

namespace {

// The boxcar's sums, in the order of the frames (so every platform adds
// alike); `Step` fixed where it can be lets the compiler unroll the sum.
template <std::uint32_t Step>
double boxcarMeans(const Track& track, std::uint32_t runtimeStep, std::vector<float>& out)
{
    const std::uint32_t step = Step > 0 ? Step : runtimeStep;
    const std::size_t stride = track.stride;
    const float* x = track.first;
    double total = 0.0;
    for (float& value : out) {
        double sum = 0.0;
        for (std::uint32_t k = 0; k < step; ++k)
            sum += x[k * stride];
        x += step * stride;
        // Floats may hold anything: far past full scale the figures would
        // overflow, and nothing printed needs them.
        const double mean = std::clamp(sum / step, -kLargest, kLargest);
        value = static_cast<float>(mean);
        total += mean;
    }
    return total;
}

// The steps of the common rates (8 to 96 kHz), each with a sum unrolled;
// any other step takes the loop.
using UnrolledSteps = std::integer_sequence<std::uint32_t, 1, 2, 3, 4, 5, 6, 11, 12>;

template <std::uint32_t... Steps>
double boxcarMeansFor(const Track& track, std::uint32_t step, std::vector<float>& out,
                      std::integer_sequence<std::uint32_t, Steps...>)
{
    double total = 0.0;
    const bool unrolled = ((step == Steps && (total = boxcarMeans<Steps>(track, step, out), true)) || ...);
    return unrolled ? total : boxcarMeans<0>(track, step, out);
}

}  // namespace

AnalysisTrack analysisTrackOf(const Track& track)
{
    AnalysisTrack out;
    out.step = thinningStep(static_cast<std::uint32_t>(track.rate));
    out.sourceRate = track.rate;
    out.rate = track.rate / out.step;
    const std::uint64_t frames = track.frames / out.step;
    out.samples.resize(frames);
    const double total = boxcarMeansFor(track, out.step, out.samples, UnrolledSteps{});
    if (frames > 0) {
        const double offset = total / static_cast<double>(frames);
        for (float& v : out.samples)
            v = static_cast<float>(v - offset);
    }
    removeRumble(out);
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

}  // namespace tonalyx::detail::measurement
