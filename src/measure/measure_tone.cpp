#include "measure/measure_tone.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "measure/decimal_rounding.h"
#include "measure/fourier.h"
#include "measure/tone_fit.h"
#include "measure/tone_frequency.h"

namespace tonalyx::measurement {

namespace {

// Channels whose peaks hold shares this close count as equal: the first
// of them is measured, so that a tone in every channel is measured in
// channel 1 whatever the noise.
constexpr double kShareMargin = 0.01;

// One channel: its extent in every step-th frame (the thinned track) and
// in all frames, and the first look at its spectrum.
struct ChannelLook {
    Extent thinExtent;  // in frames of the thinned track
    Extent extent;      // in frames of the whole track
    FirstLook look;
};

ChannelLook lookAt(const Track& track, std::uint32_t step)
{
    ChannelLook channel;
    const Track thin = everyNth(track, step);
    channel.thinExtent = toneExtent(envelopeOf(thin, blockFramesFor(thin.rate)), thin.frames);
    channel.extent = channel.thinExtent;
    channel.extent.frames = {channel.thinExtent.frames.begin * step,
                             std::min(track.frames, channel.thinExtent.frames.end * step)};
    channel.look = firstLook(track, channel.extent, hannWindow(lookFramesFor(track.rate, channel.extent.frames.size())));
    return channel;
}

double levelOf(double amplitude)
{
    if (!(amplitude > 0.0))
        return kSilentLevel;
    const double level = 20.0 * decimalLog(amplitude);
    return level < kSilentLevel ? kSilentLevel : level;
}

}  // namespace

std::uint32_t candidateNear(double hz)
{
    if (!(hz >= 100.0 - kCandidateReachHz && hz <= 1000.0 + kCandidateReachHz))
        return 0;
    // The nearest multiple of 20 from 100, ties up.
    double candidate = 100.0 + 20.0 * std::floor((hz - 100.0) / 20.0 + 0.5);
    candidate = candidate < 100.0 ? 100.0 : candidate > 1000.0 ? 1000.0 : candidate;
    return std::fabs(hz - candidate) <= kCandidateReachHz ? static_cast<std::uint32_t>(candidate) : 0;
}

void measureTone(const recording::Recording& recording, const MeasureOptions&, Measurement& result)
{
    result.hasTone = false;
    result.tone = 0;
    result.measured = result.purity = result.start = result.end = 0.0;
    result.level = kSilentLevel;
    result.channel = recording.channels > 0 ? 1 : 0;
    if (recording.channels == 0 || recording.sampleRate == 0 || recording.frames() == 0)
        return;

    const double rate = recording.sampleRate;
    const std::uint32_t step = thinningStep(recording.sampleRate);
    std::vector<ChannelLook> looks;
    double bestShare = 0.0;
    for (std::uint32_t c = 0; c < recording.channels; ++c) {
        looks.push_back(lookAt(trackOf(recording, c), step));
        bestShare = std::max(bestShare, looks.back().look.share);
    }
    std::uint32_t best = 0;
    while (looks[best].look.share < bestShare - kShareMargin)
        ++best;
    const ChannelLook& chosen = looks[best];
    const Track track = trackOf(recording, best);
    const Track thin = everyNth(track, step);
    const double hz = refinedHz(thin, chosen.thinExtent, blockFramesFor(thin.rate), chosen.look.hz);
    const ToneFit fit = fitTone(thin, chosen.thinExtent, hz);

    result.channel = best + 1;
    result.measured = hz > 0.0 && hz < 1e12 ? scaledRounded(hz, 2) / 100.0 : 0.0;
    result.purity = fit.purity;
    result.level = levelOf(fit.amplitude);
    result.start = static_cast<double>(chosen.extent.frames.begin) / rate;
    result.end = static_cast<double>(chosen.extent.frames.end) / rate;
    const std::uint32_t candidate = candidateNear(result.measured);
    const bool longEnough = chosen.extent.frames.size() >= kMinToneSeconds * rate;
    result.hasTone = candidate != 0 && fit.purity >= kMinPurity && longEnough;
    result.tone = result.hasTone ? candidate : 0;
    result.bursts = result.hasTone ? 1 : 0;
    result.reason = result.hasTone ? NoToneReason::none
                    : !longEnough  ? NoToneReason::shortTone
                    : candidate == 0 ? NoToneReason::offBand
                                     : NoToneReason::impure;
}

}  // namespace tonalyx::measurement
