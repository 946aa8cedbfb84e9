#include "measure/hum_removal.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "measure/exact_math.h"
#include "measure/fourier.h"
#include "measure/mains_hum.h"

namespace tonalyx::detail::measurement {

namespace {

constexpr double kWindowSeconds = 0.2;

// Each harmonic's sum of x[j] e^(-2 pi i c j), all of them in one pass
// over x: `turns` holds, frame by frame, the pair (cos, -sin) of 2 pi c j
// of every harmonic (0 past the last), and `sums` the pair of sums.
void sumsAgainst(const double* __restrict x, const double* __restrict turns, std::size_t count,
                 double* __restrict sums)
{
    constexpr std::size_t kPairs = 2 * kHumHarmonics;
    double sum[kPairs] = {};
    for (std::size_t j = 0; j < count; ++j)
        for (std::size_t i = 0; i < kPairs; ++i)
            sum[i] += x[j] * turns[kPairs * j + i];
    for (std::size_t i = 0; i < kPairs; ++i)
        sums[i] = sum[i];
}

// A window's share of one harmonic, a e^(2 pi i c j) weighted by it,
// added to the hum: the harmonic's cos and -sin of 2 pi c j apart, so
// that frames go side by side.
void addHum(double* __restrict hum, const double* __restrict w, const double* __restrict cosines,
            const double* __restrict sines, Phasor a, std::size_t count)
{
    for (std::size_t j = 0; j < count; ++j)
        hum[j] += w[j] * (a.re * cosines[j] + a.im * sines[j]);
}

}  // namespace

AnalysisTrack withoutHum(const AnalysisTrack& track, double mainsHz)
{
    AnalysisTrack out = track;
    const std::size_t length = track.samples.size();
    const std::size_t size = 2 * static_cast<std::size_t>(0.5 * kWindowSeconds * track.rate);
    if (!(mainsHz > 0.0) || size < 64 || length < size)
        return out;
    // Hann windows half overlapping add up to one: each window's fit,
    // weighted by the window, takes out its share of the hum.
    const std::size_t hop = size / 2;
    const std::vector<double> window = hannWindow(size);
    std::size_t harmonics = 0;
    while (harmonics < kHumHarmonics && (harmonics + 1) * mainsHz < 0.5 * track.rate)
        ++harmonics;
    // Each harmonic's turns over a window: (cos, -sin) of 2 pi c k, so
    // that x (cos, -sin) adds what x (cos, sin) took away. Kept both
    // frame by frame, all harmonics together, and harmonic by harmonic.
    constexpr std::size_t kPairs = 2 * kHumHarmonics;
    std::vector<double> turns(kPairs * size, 0.0), cosines(size * harmonics), sines(size * harmonics);
    for (std::size_t h = 0; h < harmonics; ++h) {
        const double cycles = (h + 1) * mainsHz / track.rate;
        // An even harmonic's cycles are twice its half's, to the bit, and
        // so are their products with k: its turn at k is its half's at 2k.
        const std::size_t half = (h + 1) / 2 - 1;
        const std::size_t copied = (h + 1) % 2 == 0 ? (size + 1) / 2 : 0;
        for (std::size_t k = 0; k < copied; ++k) {
            turns[kPairs * k + 2 * h] = cosines[h * size + k] = cosines[half * size + 2 * k];
            turns[kPairs * k + 2 * h + 1] = sines[h * size + k] = sines[half * size + 2 * k];
        }
        for (std::size_t k = copied; k < size; ++k) {
            const Phasor u = unitOfTurns(fractionOf(cycles * static_cast<double>(k)));
            turns[kPairs * k + 2 * h] = cosines[h * size + k] = u.re;
            turns[kPairs * k + 2 * h + 1] = sines[h * size + k] = -u.im;
        }
    }
    // From half a window before the start, so that every frame has two
    // windows over it; a window cut by an edge fits its part.
    struct Fit {
        std::size_t from = 0, count = 0, offset = 0;  // frames, and where in the window they start
        bool fitted = false;
    };
    std::vector<Fit> fits;
    std::vector<Phasor> amplitudes;  // window by window, harmonic by harmonic
    std::vector<double> weighted(size);
    double wholeWeight = 0.0;
    for (std::size_t j = 0; j < size; ++j)
        wholeWeight += window[j];
    for (std::size_t shifted = 0; shifted < length + hop; shifted += hop) {
        Fit fit;
        fit.from = shifted > hop ? shifted - hop : 0;
        fit.count = std::min(shifted + hop, length) - fit.from;
        fit.offset = fit.from + hop - shifted;
        const double* w = window.data() + fit.offset;
        double weight = 0.0;
        if (fit.offset == 0 && fit.count == size) {
            weight = wholeWeight;
        } else {
            for (std::size_t j = 0; j < fit.count; ++j)
                weight += w[j];
        }
        fit.fitted = weight > 0.0;
        fits.push_back(fit);
        if (!fit.fitted)
            continue;
        // x[j] = Re(a e^(2 pi i c j)) sums against e^(-2 pi i c j) to
        // (a / 2) x weight; counted from `from`, a e^(2 pi i c from).
        for (std::size_t j = 0; j < fit.count; ++j)
            weighted[j] = w[j] * track.samples[fit.from + j];
        double sums[kPairs];
        sumsAgainst(weighted.data(), turns.data(), fit.count, sums);
        for (std::size_t h = 0; h < harmonics; ++h)
            amplitudes.push_back({2.0 * sums[2 * h] / weight, 2.0 * sums[2 * h + 1] / weight});
    }
    // Added harmonic by harmonic, window by window.
    std::vector<double> hum(length, 0.0);
    for (std::size_t h = 0; h < harmonics; ++h) {
        std::size_t fitted = 0;
        for (const Fit& fit : fits) {
            if (!fit.fitted)
                continue;
            addHum(hum.data() + fit.from, window.data() + fit.offset, cosines.data() + h * size, sines.data() + h * size,
                   amplitudes[fitted * harmonics + h], fit.count);
            ++fitted;
        }
    }
    for (std::size_t j = 0; j < length; ++j)
        out.samples[j] = static_cast<float>(track.samples[j] - hum[j]);
    return out;
}

}  // namespace tonalyx::detail::measurement
