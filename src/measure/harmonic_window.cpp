#include "measure/harmonic_window.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "measure/fourier.h"

namespace tonalyx::detail::measurement {

namespace {

constexpr double kWindowSeconds = 0.085;
// Bins summed either side of a harmonic: the Hann main lobe, wherever the
// harmonic falls between bins.
constexpr std::size_t kLobe = 3;
// 10^(-120 / 20): a tone under -120 dBFS is silent.
constexpr double kSilentAmplitude = 1e-6;
// Past this (percent) the fundamental is lost in what stands over it.
constexpr double kMostThd = 1e6;

double sumAround(const std::vector<double>& power, double bin, std::size_t reach)
{
    const std::size_t middle = static_cast<std::size_t>(bin + 0.5);
    double sum = 0.0;
    for (std::size_t k = middle > reach ? middle - reach : 0; k <= middle + reach && k < power.size(); ++k)
        sum += power[k];
    return sum;
}

// The noise under a harmonic: the mean power of the bins halfway to the
// next harmonics, times the bins the harmonic's sum takes.
double noiseUnder(const std::vector<double>& power, double bin, double spacing)
{
    double sum = 0.0;
    std::size_t count = 0;
    for (const double at : {bin - 0.5 * spacing, bin + 0.5 * spacing}) {
        const double from = std::max(0.0, at - 1.0);
        for (std::size_t k = static_cast<std::size_t>(from); k <= static_cast<std::size_t>(at + 1.0) && k < power.size(); ++k) {
            sum += power[k];
            ++count;
        }
    }
    return count > 0 ? sum / static_cast<double>(count) * static_cast<double>(2 * kLobe + 1) : 0.0;
}

HarmonicFigures figuresAt(const Track& track, std::uint64_t begin, const FourierPlan& plan,
                          const std::vector<double>& window, double windowEnergy, double hz)
{
    const std::size_t size = plan.size();
    // Kept from call to call: the windows are many and alike in size.
    thread_local std::vector<double> re, im, power, values;
    thread_local std::vector<float> samples;
    re.resize(size);
    im.resize(size);
    samples.resize(size);
    values.resize(size);
    track.copy(begin, size, samples.data());
    // Floats far past full scale are held where the figures stay finite.
    double mean = 0.0;
    for (std::size_t n = 0; n < size; ++n) {
        values[n] = std::clamp(static_cast<double>(samples[n]), -1e9, 1e9);
        mean += values[n];
    }
    mean /= static_cast<double>(size);
    // Windowed as the transform takes them.
    plan.transformOf([&](std::size_t n) { return Phasor{(values[n] - mean) * window[n], 0.0}; }, re.data(), im.data());
    power.resize(size / 2 + 1);
    for (std::size_t k = 0; k < power.size(); ++k)
        power[k] = re[k] * re[k] + im[k] * im[k];
    const double binHz = track.rate / static_cast<double>(size);
    const double spacing = hz / binHz;
    HarmonicFigures figures;
    const double fundamental = sumAround(power, spacing, kLobe);
    // A sine of amplitude A puts N A^2 / 4 x (sum of w^2) in its half of
    // the spectrum.
    figures.amplitude = std::sqrt(4.0 * fundamental / (static_cast<double>(size) * windowEnergy));
    // Against a fundamental under the silent level a ratio means nothing
    // (and would run to any size): no THD.
    if (!(figures.amplitude >= kSilentAmplitude) || spacing < 2.0 * kLobe + 1.0)
        return figures;
    double harmonics = 0.0;
    const double last = static_cast<double>(size / 2) - kLobe - 1.0;
    for (double bin = 2.0 * spacing; bin <= last; bin += spacing)
        harmonics += sumAround(power, bin, kLobe) - noiseUnder(power, bin, spacing);
    // The noise taken off each harmonic is its expected share, so noise
    // alone sums to about 0 rather than to its upward swings.
    figures.thd = harmonics > 0.0 ? std::min(kMostThd, 100.0 * std::sqrt(harmonics / fundamental)) : 0.0;
    return figures;
}

}  // namespace

HarmonicFigures harmonicFiguresOf(const Track& track, Span span, double hz)
{
    const std::uint64_t frames = span.size();
    std::size_t size = 64;
    while (static_cast<double>(size * 2) <= kWindowSeconds * track.rate && size * 2 <= frames)
        size *= 2;
    if (frames < size || hz <= 0.0)
        return {};
    const FourierPlan& plan = planOf(size);
    const std::vector<double>& window = hannOf(size);
    double windowEnergy = 0.0;
    for (const double w : window)
        windowEnergy += w * w;
    // Up to three windows spread over the span, apart where it is long enough.
    const std::uint64_t room = frames - size;
    const int count = room >= 2 * size ? 3 : 1;
    std::vector<HarmonicFigures> found;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t begin = span.begin + (count == 1 ? room / 2 : room * static_cast<std::uint64_t>(i + 1) / 4);
        found.push_back(figuresAt(track, begin, plan, window, windowEnergy, hz));
    }
    std::sort(found.begin(), found.end(), [](const HarmonicFigures& a, const HarmonicFigures& b) { return a.thd < b.thd; });
    HarmonicFigures result = found[found.size() / 2];
    std::vector<double> amplitudes;
    for (const HarmonicFigures& f : found)
        amplitudes.push_back(f.amplitude);
    std::sort(amplitudes.begin(), amplitudes.end());
    result.amplitude = amplitudes[amplitudes.size() / 2];
    return result;
}

}  // namespace tonalyx::detail::measurement
