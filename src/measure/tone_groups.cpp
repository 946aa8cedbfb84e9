#include "measure/tone_groups.h"

#include <algorithm>
#include <cmath>

#include "measure/exact_math.h"

namespace tonalyx::detail::measurement {

namespace {

constexpr double kDensityReach = 0.01;
// A frame's frequency that strays this far from its neighbours' is off
// (a phase jump or a dropout between the two frames).
constexpr double kStrayShare = 0.004;
// The SNR given when the band holds no noise at all.
constexpr double kCleanSnr = 150.0;

struct Weighted {
    double value, weight;
};

double weightedMedian(std::vector<Weighted> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end(), [](const Weighted& a, const Weighted& b) { return a.value < b.value; });
    double total = 0.0;
    for (const Weighted& v : values)
        total += v.weight;
    double run = 0.0;
    for (const Weighted& v : values) {
        run += v.weight;
        if (run >= 0.5 * total)
            return v.value;
    }
    return values.back().value;
}

double median3(double a, double b, double c)
{
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

}  // namespace

std::vector<ToneGroup> toneGroupsOf(const std::vector<PitchEntry>& entries)
{
    // Indices by frequency.
    std::vector<std::uint32_t> order(entries.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return entries[a].hz < entries[b].hz || (entries[a].hz == entries[b].hz && a < b);
    });
    // Their frequencies and powers in that order, side by side.
    std::vector<double> sortedHz(order.size()), sortedPower(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sortedHz[i] = entries[order[i]].hz;
        sortedPower[i] = entries[order[i]].seriesPower;
    }
    std::vector<unsigned char> used(entries.size(), 0);
    std::vector<ToneGroup> groups;
    while (groups.size() < kMaxGroups) {
        // The densest frequency: the most power within 1 % around one
        // entry, by a window sliding over the sorted entries.
        double bestDensity = 0.0, center = 0.0;
        std::size_t low = 0, high = 0;
        double windowPower = 0.0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const double hz = sortedHz[i];
            while (high < order.size() && sortedHz[high] <= hz * (1.0 + kDensityReach)) {
                if (!used[order[high]])
                    windowPower += sortedPower[high];
                ++high;
            }
            while (sortedHz[low] < hz * (1.0 - kDensityReach)) {
                if (!used[order[low]])
                    windowPower -= sortedPower[low];
                ++low;
            }
            if (!used[order[i]] && windowPower > bestDensity) {
                bestDensity = windowPower;
                center = hz;
            }
        }
        if (!(bestDensity > 0.0))
            break;
        ToneGroup group;
        for (int pass = 0; pass < 3; ++pass) {
            group.members.clear();
            double power = 0.0, weighted = 0.0;
            for (std::uint32_t i = 0; i < entries.size(); ++i) {
                if (used[i] || std::fabs(entries[i].hz - center) > kGroupReach * center)
                    continue;
                group.members.push_back(i);
                power += entries[i].seriesPower;
                weighted += entries[i].seriesPower * entries[i].hz;
            }
            if (!(power > 0.0))
                break;
            center = weighted / power;
            group.hz = center;
            group.power = power;
        }
        if (group.members.empty())
            break;
        for (const std::uint32_t i : group.members)
            used[i] = 1;
        groups.push_back(std::move(group));
    }
    std::sort(groups.begin(), groups.end(), [](const ToneGroup& a, const ToneGroup& b) { return a.power > b.power; });
    return groups;
}

GroupFigures figuresOf(const ToneGroup& group, const std::vector<PitchEntry>& entries, double binHz, std::size_t hop,
                       const std::vector<bool>* whole)
{
    GroupFigures figures;
    figures.hz = group.hz;
    std::vector<Weighted> purities, snrs;
    for (const std::uint32_t i : group.members) {
        const PitchEntry& e = entries[i];
        purities.push_back({e.bandPower > 0.0 ? e.seriesPower / e.bandPower : 0.0, e.seriesPower});
        const double snr = e.octaveNoise > 0.0 ? 10.0 * decimalLog(e.fundamentalPower / e.octaveNoise) : kCleanSnr;
        snrs.push_back({std::min(snr, kCleanSnr), e.seriesPower});
    }
    figures.purity = std::clamp(weightedMedian(purities), 0.0, 1.0);
    figures.snr = weightedMedian(snrs);

    // The frequency along the tone, from the phase of consecutive frames
    // that both hold it; a frame that strays from both its neighbours is
    // left out.
    std::vector<double> track;
    std::vector<std::uint32_t> trackFrames;
    std::uint32_t previousFrame = 0;
    bool havePrevious = false;
    for (const std::uint32_t i : group.members) {
        const PitchEntry& e = entries[i];
        const bool inside =
            !whole || (e.frame > 0 && e.frame < whole->size() && (*whole)[e.frame] && (*whole)[e.frame - 1]);
        if (havePrevious && e.frame == previousFrame + 1 && e.phaseHz > 0.0 &&
            std::fabs(e.phaseHz - e.hz) < binHz && inside)
        {
            track.push_back(e.phaseHz);
            trackFrames.push_back(e.frame);
        }
        previousFrame = e.frame;
        havePrevious = true;
    }
    if (track.size() >= 3) {
        std::vector<double> smooth(track.size());
        smooth.front() = track.front();
        smooth.back() = track.back();
        for (std::size_t i = 1; i + 1 < track.size(); ++i)
            smooth[i] = median3(track[i - 1], track[i], track[i + 1]);
        double sum = 0.0;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < track.size(); ++i) {
            if (std::fabs(track[i] - smooth[i]) > kStrayShare * smooth[i])
                continue;
            sum += track[i];
            ++kept;
        }
        std::size_t lowAt = 1, highAt = 1;
        for (std::size_t i = 1; i + 1 < smooth.size(); ++i) {
            if (smooth[i] < smooth[lowAt])
                lowAt = i;
            if (smooth[i] > smooth[highAt])
                highAt = i;
        }
        const std::size_t last = smooth.size() - 2;
        figures.drift = smooth[highAt] - smooth[lowAt];
        figures.monotone = (lowAt == 1 && highAt == last) || (highAt == 1 && lowAt == last);
        // Each frame's frequency is the mean since the frame before: from
        // a quarter frame (half a hop) before its middle.
        figures.trackBegin = static_cast<double>(trackFrames[1] * hop + hop / 2);
        figures.trackEnd = static_cast<double>(trackFrames[last] * hop + hop / 2);
        if (kept > 0)
            figures.hz = sum / static_cast<double>(kept);
        figures.timed = kept > 0;
    } else if (!track.empty()) {
        double sum = 0.0;
        for (const double hz : track)
            sum += hz;
        figures.hz = sum / static_cast<double>(track.size());
        figures.timed = true;
    }
    return figures;
}

}  // namespace tonalyx::detail::measurement
