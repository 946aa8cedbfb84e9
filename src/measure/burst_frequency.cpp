#include "measure/burst_frequency.h"

#include <cmath>
#include <vector>

#include "measure/demodulation.h"
#include "measure/fourier.h"

namespace tonalyx::detail::measurement {

namespace {

// Windows keep this far inside the burst's edges, where it may be only
// starting or fading.
constexpr double kMarginSeconds = 0.005;
constexpr std::size_t kShortestWindow = 32;
// Two windows this far apart (seconds) at the most: a longer burst is
// timed by the frames' phase already.
constexpr double kLongestApart = 0.25;

}  // namespace

double burstFrequency(const AnalysisTrack& track, const Burst& burst, double hz)
{
    const double margin = kMarginSeconds * track.rate;
    const double first = std::ceil(burst.begin + margin), last = std::floor(burst.end - margin);
    if (!(last - first >= 2.0 * kShortestWindow) || hz <= 0.0)
        return hz;
    const double room = std::min(last - first, kLongestApart * track.rate);
    std::size_t size = kShortestWindow;
    while (static_cast<double>(size * 4) <= room)
        size *= 2;
    const std::vector<double>& window = hannOf(size);
    const Track view{track.samples.data(), 1, track.samples.size(), track.rate};
    const auto begin = static_cast<std::uint64_t>(first);
    const auto apart = static_cast<std::uint64_t>(room) - size;
    const double cycles = hz / track.rate;
    const Phasor a = demodulate(view, {begin, begin + size}, cycles, 0.0, window.data());
    const Phasor b = demodulate(view, {begin + apart, begin + apart + size}, cycles, 0.0, window.data());
    // b's phase ahead of a's: (true - assumed) cycles a frame, times apart.
    const double drift = turnsOf(b.im * a.re - b.re * a.im, b.re * a.re + b.im * a.im);
    return hz + drift * track.rate / static_cast<double>(apart);
}

}  // namespace tonalyx::detail::measurement
