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
// `offset` (the mean) is taken off each frame first, in the same pass.
void removeRumble(AnalysisTrack& track, double offset)
{
    const Phasor w = unitOfTurns(kRumbleHz / track.rate);
    const double alpha = w.im / (2.0 * kButterworthQ);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 + w.re) / 2.0 / a0, b1 = -(1.0 + w.re) / a0, b2 = b0;
    const double a1 = -2.0 * w.re / a0, a2 = (1.0 - alpha) / a0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (float& v : track.samples) {
        const double x = static_cast<float>(v - offset);
        // The last output's term last: the sum waits on it alone, which
        // keeps the chain from one output to the next short.
        const double y = b0 * x + b1 * x1 + b2 * x2 - a2 * y2 - a1 * y1;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        v = static_cast<float>(y);
    }
}

// Whole boxcars from `x` on, `Step` fixed where it can be so that the
// compiler unrolls the sum; each sum in the order of the frames, so every
// platform adds alike.
template <std::uint32_t Step>
std::size_t wholeBoxcars(const float* x, std::size_t stride, std::size_t count, std::uint32_t runtimeStep,
                         float* out, double& total)
{
    const std::uint32_t step = Step > 0 ? Step : runtimeStep;
    for (std::size_t j = 0; j < count; ++j) {
        double sum = 0.0;
        for (std::uint32_t k = 0; k < step; ++k)
            sum += x[k * stride];
        x += step * stride;
        // Floats may hold anything: far past full scale the figures would
        // overflow, and nothing printed needs them.
        const double mean = std::clamp(sum / step, -kLargest, kLargest);
        out[j] = static_cast<float>(mean);
        total += mean;
    }
    return count;
}

// The steps of the common rates (8 to 96 kHz), each with a sum unrolled;
// any other step takes the loop.
using UnrolledSteps = std::integer_sequence<std::uint32_t, 1, 2, 3, 4, 5, 6, 11, 12>;

template <std::uint32_t... Steps>
void wholeBoxcarsFor(const float* x, std::size_t stride, std::size_t count, std::uint32_t step, float* out,
                     double& total, std::integer_sequence<std::uint32_t, Steps...>)
{
    const bool unrolled = ((step == Steps && wholeBoxcars<Steps>(x, stride, count, step, out, total) > 0) || ...);
    if (!unrolled)
        wholeBoxcars<0>(x, stride, count, step, out, total);
}

}  // namespace

Boxcar::Boxcar(double sourceRate, std::uint64_t expectedFrames) : step_(thinningStep(static_cast<std::uint32_t>(sourceRate))), sourceRate_(sourceRate)
{
    means_.reserve(static_cast<std::size_t>(expectedFrames / step_));
}

void Boxcar::add(const float* x, std::size_t stride, std::size_t frames)
{
    // A boxcar begun in the last call is finished first, in the same order.
    while (filled_ > 0 && frames > 0) {
        partial_ += *x;
        x += stride;
        --frames;
        if (++filled_ == step_)
            closeBoxcar();
    }
    const std::size_t whole = frames / step_;
    if (whole > 0) {
        const std::size_t at = means_.size();
        means_.resize(at + whole);
        wholeBoxcarsFor(x, stride, whole, step_, means_.data() + at, total_, UnrolledSteps{});
        x += whole * step_ * stride;
        frames -= whole * step_;
    }
    for (; frames > 0; --frames, x += stride) {
        partial_ += *x;
        if (++filled_ == step_)
            closeBoxcar();
    }
}

void Boxcar::closeBoxcar()
{
    const double mean = std::clamp(partial_ / step_, -kLargest, kLargest);
    means_.push_back(static_cast<float>(mean));
    total_ += mean;
    partial_ = 0.0;
    filled_ = 0;
}

AnalysisTrack Boxcar::finish() &&
{
    AnalysisTrack out;
    out.step = step_;
    out.sourceRate = sourceRate_;
    out.rate = sourceRate_ / step_;
    out.samples = std::move(means_);
    const double offset = out.samples.empty() ? 0.0 : total_ / static_cast<double>(out.samples.size());
    removeRumble(out, offset);
    return out;
}

AnalysisTrack analysisTrackOf(const Track& track)
{
    Boxcar boxcar(track.rate, track.frames);
    boxcar.add(track.first, track.stride, static_cast<std::size_t>(track.frames));
    return std::move(boxcar).finish();
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
