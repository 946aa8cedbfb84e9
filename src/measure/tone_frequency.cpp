#include "measure/tone_frequency.h"

#include <algorithm>
#include <cmath>

#include "measure/demodulation.h"
#include "measure/fourier.h"

namespace tonalyx::measurement {

std::size_t lookFramesFor(double rate, std::uint64_t extentFrames)
{
    const double wanted = rate * 0.025;
    std::size_t frames = 16;
    while (frames < 4096 && static_cast<double>(frames) * 1.5 < wanted)
        frames *= 2;
    while (frames > 1 && frames > extentFrames)
        frames /= 2;
    return frames;
}

FirstLook firstLook(const Track& track, const Extent& extent, const std::vector<double>& window)
{
    const std::size_t size = window.size();
    FirstLook look;
    if (size < 4 || extent.frames.size() < size)
        return look;
    const std::uint64_t begin = extent.frames.begin + (extent.frames.size() - size) / 2;
    std::vector<Phasor> spectrum(size);
    for (std::size_t n = 0; n < size; ++n)
        spectrum[n] = {(track[begin + n] - extent.mean) * window[n], 0.0};
    fourierTransform(spectrum);

    std::vector<double> power(size / 2 + 1);
    double total = 0.0;
    for (std::size_t k = 0; k <= size / 2; ++k) {
        power[k] = spectrum[k].re * spectrum[k].re + spectrum[k].im * spectrum[k].im;
        total += power[k];
    }
    const double binHz = track.rate / static_cast<double>(size);
    std::size_t lowest = static_cast<std::size_t>(std::ceil(kLowestHz / binHz));
    lowest = std::clamp<std::size_t>(lowest, 1, size / 2 - 1);
    // The highest bin that is a peak of its own: the slope of hum below
    // kLowestHz (its main lobe reaches two bins up) is no peak.
    std::size_t peak = 0;
    for (std::size_t k = lowest; k < size / 2; ++k)
        if (power[k] >= power[k - 1] && power[k] >= power[k + 1] && (peak == 0 || power[k] > power[peak]))
            peak = k;
    if (peak == 0)
        return look;
    if (power[peak] <= 0.0)
        return look;

    // The Hann window's bins beside a tone at peak + d (0 <= d <= 1) stand
    // to the peak as (1 + d) / (2 - d): d = (2 r - 1) / (r + 1).
    const double here = std::sqrt(power[peak]);
    const double below = std::sqrt(power[peak - 1]), above = std::sqrt(power[peak + 1]);
    const double ratio = std::max(below, above) / here;
    const double offset = (2.0 * ratio - 1.0) / (ratio + 1.0);
    const double bin = static_cast<double>(peak) + (above >= below ? offset : -offset);
    look.hz = bin * binHz;

    double near = 0.0;
    for (std::size_t k = peak - std::min<std::size_t>(peak, 2); k <= std::min(size / 2, peak + 2); ++k)
        near += power[k];
    look.share = total > 0.0 ? near / total : 0.0;
    return look;
}

double refinedHz(const Track& thin, const Extent& extent, std::uint64_t margin, double hz)
{
    const std::uint64_t frames = extent.frames.size();
    if (frames < 2 * kLongestWindow + 2 * margin)
        margin = 0;
    std::uint64_t longest = kLongestWindow;
    while (longest >= kShortestWindow && 2 * longest > frames - 2 * margin)
        longest /= 2;
    if (longest < kShortestWindow)
        return hz;
    std::uint64_t size = std::min<std::uint64_t>(lookFramesFor(thin.rate, frames), longest);
    const std::uint64_t middle = extent.frames.begin + frames / 2;
    std::vector<double> window;
    for (std::uint64_t distance = size;; distance *= 4, size = std::min(4 * size, longest)) {
        if (window.size() != size)
            window = hannWindow(size);
        const std::uint64_t widest = frames - 2 * margin - size;  // start to start
        const std::uint64_t apart = std::min(distance, widest);
        const std::uint64_t first = middle - (apart + size) / 2;
        const double cycles = hz / thin.rate;
        const Phasor a = demodulate(thin, {first, first + size}, cycles, extent.mean, window.data());
        const Phasor b = demodulate(thin, {first + apart, first + apart + size}, cycles, extent.mean, window.data());
        // b's phase ahead of a's: (true - assumed) cycles per frame x apart.
        const double drift = turnsOf(b.im * a.re - b.re * a.im, b.re * a.re + b.im * a.im);
        hz += drift * thin.rate / static_cast<double>(apart);
        if (apart == widest)
            return hz;
    }
}

}  // namespace tonalyx::measurement
