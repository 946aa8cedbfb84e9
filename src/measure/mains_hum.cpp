#include "measure/mains_hum.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tonalyx::measurement {

namespace {

// Mains runs within this many Hz of 50 or 60.
constexpr double kMainsReachHz = 1.5;
// Hum lasts: its fundamental is a peak in at least this share of frames.
constexpr double kMainsShare = 0.5;
// A harmonic of hum is no stronger than this many times its fundamental,
// bin against bin (their main lobes may overlap at 50 Hz apart).
constexpr double kHarmonicOverFundamental = 4.0;

bool nearMains(double hz)
{
    return std::fabs(hz - 50.0) <= kMainsReachHz || std::fabs(hz - 60.0) <= kMainsReachHz;
}

}  // namespace

void markMainsHum(SpectralFrames& frames)
{
    std::vector<double> found;
    for (const Peak& peak : frames.peaks) {
        const double hz = peak.bestHz(frames.binHz);
        if (nearMains(hz))
            found.push_back(hz);
    }
    if (frames.frames == 0 || static_cast<double>(found.size()) < kMainsShare * static_cast<double>(frames.frames))
        return;
    std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(found.size() / 2), found.end());
    frames.mainsHz = found[found.size() / 2];
    const double mains = frames.mainsHz;

    for (std::size_t t = 0; t < frames.frames; ++t) {
        Peak* first = frames.peaks.data() + frames.firstPeak[t];
        Peak* last = frames.peaks.data() + frames.firstPeak[t + 1];
        double fundamental = 0.0;
        for (Peak* p = first; p != last; ++p)
            if (std::fabs(p->bestHz(frames.binHz) - mains) <= kMainsReachHz)
                fundamental = std::max(fundamental, p->height);
        for (Peak* p = first; p != last; ++p) {
            const double hz = p->bestHz(frames.binHz);
            const double n = std::floor(hz / mains + 0.5);
            if (n < 1.0 || n > kHumHarmonics)
                continue;
            const bool fine = p->phaseHz > 0.0 && hz == p->phaseHz;
            const double reach = fine ? kMainsReachHz : 0.5 * frames.binHz;
            if (std::fabs(hz - n * mains) > reach)
                continue;
            p->hum = n == 1.0 || p->height <= kHarmonicOverFundamental * fundamental;
        }
    }
}

}  // namespace tonalyx::measurement
