#include "measure/tone_bursts.h"

#include <algorithm>
#include <cmath>

#include "measure/exact_math.h"

namespace tonalyx::detail::measurement {

namespace {

constexpr double kBlockSeconds = 0.005;
// On from half the amplitude the tone usually has (its 90th percentile
// inside its frames): the edges of a tone switched on land where it starts.
constexpr double kOnShare = 0.5;
constexpr double kUsualShare = 0.9;
constexpr double kDipUnderMedian = 0.25;


std::size_t blockFramesOf(const AnalysisTrack& track)
{
    return std::max<std::size_t>(1, static_cast<std::size_t>(track.rate * kBlockSeconds + 0.5));
}

// x[k] times the pairs (cos, sin) of a table, summed in the order of k:
// two frames a step, for fewer steps, the sums' order the same.
Phasor blockSum(const float* __restrict x, const double* __restrict table, std::size_t count)
{
    double re = 0.0, im = 0.0;
    std::size_t k = 0;
    for (; k + 1 < count; k += 2) {
        const double a = x[k], b = x[k + 1];
        re += a * table[2 * k];
        im += a * table[2 * k + 1];
        re += b * table[2 * k + 2];
        im += b * table[2 * k + 3];
    }
    if (k < count) {
        re += x[k] * table[2 * k];
        im += x[k] * table[2 * k + 1];
    }
    return {re, im};
}

// Each block's sum against e^(-2 pi i f n); amplitudes at the block edges
// over the two blocks either side (10 ms): amplitude[e] at the edge after
// block e (position (e + 1) x block).
std::vector<double> edgeAmplitudes(const AnalysisTrack& track, double hz, std::size_t block)
{
    const std::size_t blocks = track.samples.size() / block;
    std::vector<double> amplitude;
    if (blocks < 2)
        return amplitude;
    const double cycles = hz / track.rate;
    std::vector<Phasor> sums(blocks);
    std::vector<double> table(2 * block);  // (cos, sin) pairs
    for (std::size_t k = 0; k < block; ++k) {
        const Phasor u = unitOfTurns(-fractionOf(cycles * static_cast<double>(k)));
        table[2 * k] = u.re;
        table[2 * k + 1] = u.im;
    }
    // The sums first, then their turns to each block's start: no calls
    // in the loop over the frames.
    for (std::size_t b = 0; b < blocks; ++b)
        sums[b] = blockSum(track.samples.data() + b * block, table.data(), block);
    for (std::size_t b = 0; b < blocks; ++b) {
        const auto [re, im] = sums[b];
        const Phasor start = unitOfTurns(-fractionOf(cycles * static_cast<double>(b * block)));
        sums[b] = {start.re * re - start.im * im, start.re * im + start.im * re};
    }
    amplitude.resize(blocks - 1);
    for (std::size_t e = 0; e + 1 < blocks; ++e) {
        const double re = sums[e].re + sums[e + 1].re, im = sums[e].im + sums[e + 1].im;
        amplitude[e] = std::sqrt(re * re + im * im) / static_cast<double>(block);
    }
    return amplitude;
}

}  // namespace

Envelope envelopeOf(const AnalysisTrack& track, double hz)
{
    Envelope envelope;
    envelope.block = blockFramesOf(track);
    envelope.amplitude = edgeAmplitudes(track, hz, envelope.block);
    return envelope;
}

std::vector<Burst> burstsOf(const Envelope& envelope, const AnalysisTrack& track, const SpectralFrames& spectral,
                            const std::vector<std::uint32_t>& frames)
{
    std::vector<Burst> bursts;
    const std::size_t block = envelope.block;
    const std::vector<double>& amplitude = envelope.amplitude;
    if (amplitude.empty() || frames.empty())
        return bursts;

    // The usual amplitude inside the tone's frames (their middle halves).
    std::vector<bool> inFrames(amplitude.size(), false);
    std::vector<double> inside;
    for (const std::uint32_t t : frames) {
        const double from = static_cast<double>(t * spectral.hop + spectral.size / 4);
        const double to = from + static_cast<double>(spectral.size / 2);
        for (std::size_t e = static_cast<std::size_t>(from / block); e < amplitude.size(); ++e) {
            const double at = static_cast<double>((e + 1) * block);
            if (at > to)
                break;
            if (at >= from && !inFrames[e]) {
                inFrames[e] = true;
                inside.push_back(amplitude[e]);
            }
        }
    }
    if (inside.empty())
        return bursts;
    const std::size_t rank = static_cast<std::size_t>(kUsualShare * static_cast<double>(inside.size() - 1));
    std::nth_element(inside.begin(), inside.begin() + static_cast<std::ptrdiff_t>(rank), inside.end());
    const double threshold = kOnShare * inside[rank];
    if (!(threshold > 0.0))
        return bursts;

    const auto positionOf = [&](std::size_t e) { return static_cast<double>((e + 1) * block); };
    // Where the amplitude crosses the threshold between edges e and e + 1.
    const auto crossing = [&](std::size_t e) {
        const double a = amplitude[e], b = amplitude[e + 1];
        const double share = b != a ? (threshold - a) / (b - a) : 0.5;
        return positionOf(e) + std::clamp(share, 0.0, 1.0) * static_cast<double>(block);
    };
    const double gap = kBurstGapSeconds * track.rate, shortest = kShortestBurstSeconds * track.rate;
    struct Run {
        std::size_t first, last;  // edges on
        bool held;                // overlaps the tone's frames
    };
    std::vector<Run> runs;
    for (std::size_t e = 0; e < amplitude.size(); ++e) {
        if (amplitude[e] < threshold)
            continue;
        if (!runs.empty() && runs.back().last + 1 == e) {
            runs.back().last = e;
        } else {
            runs.push_back({e, e, false});
        }
        runs.back().held = runs.back().held || inFrames[e];
    }
    for (const Run& run : runs) {
        if (!run.held)
            continue;
        Burst burst;
        burst.begin = run.first > 0 ? crossing(run.first - 1) : 0.0;
        burst.end = run.last + 1 < amplitude.size() ? crossing(run.last) : static_cast<double>(track.samples.size());
        if (!bursts.empty() && burst.begin - bursts.back().end < gap) {
            bursts.back().end = burst.end;
            continue;
        }
        if (!bursts.empty() && bursts.back().end - bursts.back().begin < shortest)
            bursts.pop_back();
        bursts.push_back(burst);
    }
    if (!bursts.empty() && bursts.back().end - bursts.back().begin < shortest)
        bursts.pop_back();
    return bursts;
}

double dipShareOf(const Envelope& envelope, const std::vector<Burst>& bursts)
{
    const std::size_t block = envelope.block;
    const std::vector<double>& amplitude = envelope.amplitude;
    std::vector<double> inside;
    for (const Burst& burst : bursts) {
        // Edges lie in order: from a little before the burst to its end.
        const double before = std::floor(burst.begin / static_cast<double>(block)) - 2.0;
        const std::size_t first = before > 0.0 && before < static_cast<double>(amplitude.size())
                                      ? static_cast<std::size_t>(before)
                                      : 0;
        for (std::size_t e = first; e < amplitude.size(); ++e) {
            const double at = static_cast<double>((e + 1) * block);
            if (at >= burst.end)
                break;
            if (at > burst.begin && at < burst.end)
                inside.push_back(amplitude[e]);
        }
    }
    if (inside.empty())
        return 0.0;
    std::vector<double> sorted = inside;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double dip = kDipUnderMedian * sorted[sorted.size() / 2];
    const auto dips = std::count_if(inside.begin(), inside.end(), [dip](double a) { return a < dip; });
    return static_cast<double>(dips) / static_cast<double>(inside.size());
}

}  // namespace tonalyx::detail::measurement
