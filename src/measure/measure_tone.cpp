#include "measure/measure_tone.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "measure/fourier.h"
#include "measure/tone_fit.h"
#include "measure/tone_frequency.h"

namespace tonalyx::measurement {

namespace {

// One channel: its extent in every step-th frame (the thinned track) and
// in all frames, and the first look at its spectrum.
struct ChannelLook {
    Extent thinExtent;  // in frames of the thinned track
    Extent extent;      // in frames of the whole track
    FirstLook look;
    std::vector<double> window;
};

ChannelLook lookAt(const Track& track, std::uint32_t step)
{
    ChannelLook channel;
    const Track thin = everyNth(track, step);
    channel.thinExtent = toneExtent(envelopeOf(thin, blockFramesFor(thin.rate)), thin.frames);
    channel.extent = channel.thinExtent;
    channel.extent.frames = {channel.thinExtent.frames.begin * step,
                             std::min(track.frames, channel.thinExtent.frames.end * step)};
    channel.window = hannWindow(lookFramesFor(track.rate, channel.extent.frames.size()));
    channel.look = firstLook(track, channel.extent, channel.window);
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

void measureTone(const recording::Recording& recording, Measurement& result)
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
    std::uint32_t best = 0;
    ChannelLook chosen;
    for (std::uint32_t c = 0; c < recording.channels; ++c) {
        ChannelLook channel = lookAt(trackOf(recording, c), step);
        if (c == 0 || channel.look.share > chosen.look.share) {
            best = c;
            chosen = std::move(channel);
        }
    }
    const Track track = trackOf(recording, best);
    const double hz = refinedHz(track, chosen.extent, blockFramesFor(rate), chosen.look.hz, chosen.window);
    const ToneFit fit = fitTone(everyNth(track, step), chosen.thinExtent, hz);

    result.channel = best + 1;
    result.measured = hz > 0.0 ? std::floor(hz * 100.0 + 0.5) / 100.0 : 0.0;
    result.purity = fit.purity;
    result.level = levelOf(fit.amplitude);
    result.start = static_cast<double>(chosen.extent.frames.begin) / rate;
    result.end = static_cast<double>(chosen.extent.frames.end) / rate;
    const std::uint32_t candidate = candidateNear(result.measured);
    const bool longEnough = chosen.extent.frames.size() >= kMinToneSeconds * rate;
    result.hasTone = candidate != 0 && fit.purity >= kMinPurity && longEnough;
    result.tone = result.hasTone ? candidate : 0;
}

}  // namespace tonalyx::measurement
