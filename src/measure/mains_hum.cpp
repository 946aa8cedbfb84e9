#include "measure/mains_hum.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "measure/burst_frequency.h"
#include "measure/fourier.h"

namespace tonalyx::detail::measurement {

namespace {

// The mains stands this far over the median of the bins from
// kFloorFromHz to kFloorToHz.
constexpr double kPeakOverFloor = 10.0;
constexpr double kFloorFromHz = 25.0;
constexpr double kFloorToHz = 400.0;
constexpr double kShortestSeconds = 0.25;
constexpr std::uint32_t kThinning = 4;
// A harmonic of hum is no stronger than this many times its fundamental,
// bin against bin (their main lobes may overlap at 50 Hz apart).
constexpr double kHarmonicOverFundamental = 4.0;

// The median power 3 to 9 bins either side of `bin`: a line of the mains
// stands over it, while noise falling steeply with frequency (brown,
// say) has no line, only a slope.
double medianBeside(const std::vector<double>& power, std::size_t bin)
{
    std::vector<double> beside;
    for (std::size_t d = 3; d <= 9; ++d) {
        if (bin >= d)
            beside.push_back(power[bin - d]);
        if (bin + d < power.size())
            beside.push_back(power[bin + d]);
    }
    std::nth_element(beside.begin(), beside.begin() + static_cast<std::ptrdiff_t>(beside.size() / 2), beside.end());
    return beside[beside.size() / 2];
}

}  // namespace

bool onMainsMultiple(double hz, double mainsHz, double reach)
{
    if (!(mainsHz > 0.0))
        return false;
    const double n = std::floor(hz / mainsHz + 0.5);
    return n >= 1.0 && n <= kHumHarmonics && std::fabs(hz - n * mainsHz) <= reach;
}

Mains mainsOf(const AnalysisTrack& track)
{
    // The band below kFloorToHz is all it looks at: a quarter of the rate
    // keeps it, and a transform a quarter the size costs a fraction. Two
    // boxcars of kThinning frames in turn (a triangle of 7) keep what
    // would fold onto 50 or 60 Hz 30 dB or more under where it was.
    const std::vector<float>& samples = track.samples;
    const std::size_t thinned = samples.size() >= 7 ? (samples.size() - 7) / kThinning + 1 : 0;
    const double rate = track.rate / kThinning;
    // One long window (0.25 to 1 s) from the middle: bins of 1 to 4 Hz.
    std::size_t size = 1;
    while (static_cast<double>(size * 2) <= rate && size * 2 <= thinned)
        size *= 2;
    // The floor's band must lie below half the rate (the analysis rate is
    // 8 kHz or more for any common recording; a rate of a few hundred
    // frames a second has no mains to find).
    if (static_cast<double>(size) < kShortestSeconds * rate || rate < 4.0 * kFloorToHz || size < 64)
        return {};
    const std::size_t begin = (thinned - size) / 2;
    const std::vector<double>& window = hannOf(size);
    std::vector<double> re(size), im(size);
    const auto thinnedAt = [&](std::size_t n) {
        const float* x = samples.data() + (begin + n) * kThinning;
        const double triangle = (double{x[0]} + x[6]) + 2.0 * (double{x[1]} + x[5]) + 3.0 * (double{x[2]} + x[4]) + 4.0 * x[3];
        return Phasor{triangle / 16.0 * window[n], 0.0};
    };
    planOf(size).transformOf(thinnedAt, re.data(), im.data());
    const double binHz = rate / static_cast<double>(size);
    const auto binOf = [&](double hz) { return static_cast<std::size_t>(hz / binHz + 0.5); };
    std::vector<double> power(binOf(kFloorToHz) + 2);
    for (std::size_t k = 0; k < power.size(); ++k)
        power[k] = re[k] * re[k] + im[k] * im[k];
    std::vector<double> floor(power.begin() + static_cast<std::ptrdiff_t>(binOf(kFloorFromHz)), power.end());
    std::nth_element(floor.begin(), floor.begin() + static_cast<std::ptrdiff_t>(floor.size() / 2), floor.end());
    const double noise = floor[floor.size() / 2];

    std::size_t best = 0;
    for (const double mains : {50.0, 60.0})
        for (std::size_t k = binOf(mains - kMainsReachHz); k <= binOf(mains + kMainsReachHz); ++k)
            if (k >= 2 && power[k] > power[k - 1] && power[k] >= power[k + 1] && power[k] >= kPeakOverFloor * noise &&
                (best == 0 || power[k] > power[best]))
                best = k;
    if (best == 0 || !(power[best] >= kPeakOverFloor * medianBeside(power, best)))
        return {};
    // The Hann window's bins beside a tone at best + d stand to it as
    // (1 + d) / (2 - d): d = (2 r - 1) / (r + 1).
    const double here = std::sqrt(power[best]), below = std::sqrt(power[best - 1]), above = std::sqrt(power[best + 1]);
    const double ratio = std::max(below, above) / here;
    const double offset = std::clamp((2.0 * ratio - 1.0) / (ratio + 1.0), 0.0, 1.0);
    const double hz = (static_cast<double>(best) + (above >= below ? offset : -offset)) * binHz;
    Mains mains;
    // To a hundredth of a hertz, from the phase across the whole track.
    mains.hz = burstFrequency(track, {0.0, static_cast<double>(samples.size())}, hz);
    // A sine of amplitude A puts N A^2 / 4 x (sum of w^2) in its five bins.
    double lobe = 0.0, windowEnergy = 0.0;
    for (std::size_t k = best - 2; k <= best + 2; ++k)
        lobe += power[k];
    for (const double w : window)
        windowEnergy += w * w;
    const double kept = boxcarGain(mains.hz, kThinning, track.rate);
    mains.amplitude = std::sqrt(4.0 * lobe / (static_cast<double>(size) * windowEnergy)) / (kept * kept);
    return mains;
}

void markMainsHum(Peak* first, Peak* last, double binHz, double mains)
{
    if (!(mains > 0.0))
        return;
    double fundamental = 0.0;
    for (Peak* p = first; p != last; ++p)
        if (std::fabs(p->bestHz(binHz) - mains) <= kMainsReachHz)
            fundamental = std::max(fundamental, p->height);
    for (Peak* p = first; p != last; ++p) {
        const double hz = p->bestHz(binHz);
        const double n = std::floor(hz / mains + 0.5);
        if (n < 1.0 || n > kHumHarmonics)
            continue;
        // Timed by its phase and on a multiple: hum, however strong.
        // Nearby by its bins only: hum where no stronger than hum is.
        const bool fine = p->phaseHz > 0.0 && hz == p->phaseHz;
        if (fine && std::fabs(hz - n * mains) <= kExactReachHz) {
            p->hum = true;
            continue;
        }
        const double reach = fine ? kMainsReachHz : 0.5 * binHz;
        if (std::fabs(hz - n * mains) > reach)
            continue;
        p->hum = n == 1.0 || p->height <= kHarmonicOverFundamental * fundamental;
    }
}

}  // namespace tonalyx::detail::measurement
