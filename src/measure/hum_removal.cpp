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
    std::vector<double> hum(length, 0.0);
    std::vector<Phasor> turn(size);
    for (int n = 1; n <= kHumHarmonics && n * mainsHz < 0.5 * track.rate; ++n) {
        const double cycles = n * mainsHz / track.rate;
        for (std::size_t k = 0; k < size; ++k)
            turn[k] = unitOfTurns(fractionOf(cycles * static_cast<double>(k)));
        // From half a window before the start, so that every frame has
        // two windows over it; a window cut by an edge fits its part.
        for (std::size_t shifted = 0; shifted < length + hop; shifted += hop) {
            const std::size_t from = shifted > hop ? shifted - hop : 0;
            const std::size_t to = std::min(shifted + hop, length);
            const double* w = window.data() + (from + hop - shifted);
            double weight = 0.0;
            for (std::size_t j = 0; j < to - from; ++j)
                weight += w[j];
            if (!(weight > 0.0))
                continue;
            // x[j] = Re(a e^(2 pi i c j)) sums against e^(-2 pi i c j) to
            // (a / 2) x weight; counted from `from`, a e^(2 pi i c from).
            double re = 0.0, im = 0.0;
            for (std::size_t j = 0; j < to - from; ++j) {
                const double x = w[j] * track.samples[from + j];
                re += x * turn[j].re;
                im -= x * turn[j].im;
            }
            const Phasor atFrom{2.0 * re / weight, 2.0 * im / weight};
            for (std::size_t j = 0; j < to - from; ++j)
                hum[from + j] += w[j] * (atFrom.re * turn[j].re - atFrom.im * turn[j].im);
        }
    }
    for (std::size_t j = 0; j < length; ++j)
        out.samples[j] = static_cast<float>(track.samples[j] - hum[j]);
    return out;
}

}  // namespace tonalyx::detail::measurement
