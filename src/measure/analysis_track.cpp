#include "measure/analysis_track.h"

#include <algorithm>
#include <cmath>

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
