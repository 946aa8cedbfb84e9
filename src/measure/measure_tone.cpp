#include "measure/measure_tone.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "measure/channel_analysis.h"
#include "measure/decimal_rounding.h"

namespace tonalyx::detail::measurement {

namespace {

// Channels whose tones are this close in purity count as equal: the first
// of them is measured, so that a tone in every channel is measured in
// channel 1 whatever the noise.
constexpr double kPurityMargin = 0.01;
// A tone this many dB below another channel's is no contender (hum that
// passed for a tone in a channel without the test tone).
constexpr double kLevelMargin = 20.0;

double rounded2(double hz)
{
    return hz > 0.0 && hz < 1e12 ? scaledRounded(hz, 2) / 100.0 : 0.0;
}

}  // namespace

std::uint32_t candidateNear(double hz)
{
    const double first = kFirstCandidate, last = kLastCandidate, step = kCandidateStep;
    if (!(hz >= first - kCandidateReachHz && hz <= last + kCandidateReachHz))
        return 0;
    // The nearest candidate, ties up.
    double candidate = first + step * std::floor((hz - first) / step + 0.5);
    candidate = candidate < first ? first : candidate > last ? last : candidate;
    return std::fabs(hz - candidate) <= kCandidateReachHz ? static_cast<std::uint32_t>(candidate) : 0;
}

void measureTone(const recording::Recording& recording, const MeasureOptions& options, Measurement& result)
{
    ChannelTracks tracks;
    tracks.start(recording.channels, recording.sampleRate, recording.frames());
    if (recording.channels > 0)
        tracks.take(recording.samples.data(), static_cast<std::size_t>(recording.frames()));
    measureTone(recording, tracks, options, result);
}

void measureTone(const recording::Recording& recording, ChannelTracks& tracks, const MeasureOptions& options,
                 Measurement& result)
{
    result.hasTone = false;
    result.tone = 0;
    result.measured = result.purity = result.start = result.end = 0.0;
    result.thd = result.snr = result.drift = 0.0;
    result.bursts = 0;
    result.level = kSilentLevel;
    result.reason = NoToneReason::silent;
    result.channel = recording.channels > 0 ? 1 : 0;
    if (recording.channels == 0 || recording.sampleRate == 0 || recording.frames() == 0)
        return;

    // One verdict a distinct channel; a channel like an earlier one points
    // to that one's.
    std::vector<ChannelVerdict> distinct;
    std::vector<std::size_t> verdictOf;
    for (std::uint32_t c = 0; c < recording.channels; ++c) {
        // Many recorders write one signal to both channels: its verdict
        // once is enough.
        const std::uint32_t same = tracks.firstAlike(c);
        if (same < c) {
            verdictOf.push_back(verdictOf[same]);
            continue;
        }
        verdictOf.push_back(distinct.size());
        distinct.push_back(analyseChannel(trackOf(recording, c), tracks.trackOf(c)));
    }
    // With a tone: the purest; without: the strongest tonal component.
    // Of the channels with a tone near the loudest, the purest.
    double loudest = kSilentLevel, bestPower = 0.0;
    const auto verdict = [&](std::size_t c) -> const ChannelVerdict& { return distinct[verdictOf[c]]; };
    for (const ChannelVerdict& v : distinct) {
        if (v.hasTone)
            loudest = std::max(loudest, v.level);
        bestPower = std::max(bestPower, v.power);
    }
    const auto contends = [&](const ChannelVerdict& v) { return v.hasTone && v.level >= loudest - kLevelMargin; };
    double bestPurity = 0.0;
    bool anyTone = false;
    for (const ChannelVerdict& v : distinct)
        if (contends(v)) {
            anyTone = true;
            bestPurity = std::max(bestPurity, v.purity);
        }
    std::size_t best = 0;
    while (best + 1 < verdictOf.size() &&
           (anyTone ? !(contends(verdict(best)) && verdict(best).purity >= bestPurity - kPurityMargin)
                    : verdict(best).power < bestPower))
        ++best;

    const ChannelVerdict& v = verdict(best);
    result.channel = static_cast<std::uint32_t>(best + 1);
    result.hasTone = v.hasTone;
    result.reason = v.reason;
    result.measured = rounded2(v.hz);
    result.tone = v.hasTone ? candidateNear(result.measured) : 0;
    result.purity = v.purity;
    result.level = v.level;
    const double seconds = static_cast<double>(recording.frames()) / recording.sampleRate;
    result.start = std::clamp(v.start, 0.0, seconds);
    result.end = std::clamp(v.end, result.start, seconds);
    result.thd = v.thd;
    result.snr = v.snr;
    result.drift = v.drift;
    result.bursts = v.bursts;
    if (options.segments)
        result.segments = segmentsOf(v.sourceOf(trackOf(recording, static_cast<std::uint32_t>(best))), v);
    for (Segment& s : result.segments) {
        s.start = std::clamp(s.start, 0.0, seconds);
        s.end = std::clamp(s.end, s.start, seconds);
        s.measured = rounded2(s.measured);
        s.tone = s.hasTone ? candidateNear(s.measured) : 0;
        s.hasTone = s.hasTone && s.tone != 0;
    }
    if (options.pictures) {
        result.pictures = picturesOf(v.sourceOf(trackOf(recording, static_cast<std::uint32_t>(best))), v);
        // Without a tone there is no tone to mark, nor its bursts.
        if (!result.hasTone) {
            result.pictures.harmonicsHz.clear();
            result.pictures.bursts.clear();
        }
    }
}

}  // namespace tonalyx::detail::measurement
