#include "measure/pitch_entries.h"

#include <algorithm>
#include <cmath>

#include "measure/mains_hum.h"

namespace tonalyx::detail::measurement {

namespace {

// Harmonics looked for, at most.
constexpr std::uint32_t kMaxHarmonic = 20;
// A fundamental holds at least this share of its strongest harmonic's
// power (-14 dB): a buzzer's 2nd or 3rd may be 12 dB over it, while noise
// at half a tone's frequency is not its fundamental.
constexpr double kFundamentalShare = 1.0 / 25.0;
// A further series in the same frame counts from this share of the first.
constexpr double kFurtherShare = 0.02;
constexpr int kSeriesPerFrame = 3;
constexpr double kSqrtTwo = 1.41421356237309504880;
constexpr std::size_t kLeakBins = 4;
// Reach of a harmonic whose frequency and its fundamental's are both
// timed by their phase, in bins (or 1 % of it, if more).
constexpr double kTimedReachBins = 0.3;

using Series = PitchSeries;

// The series on the peak `root` as fundamental among the peaks not yet
// taken, into `s` (its lists' room kept from the series before).
void seriesOn(Series& s, const Peak* peaks, std::size_t count, const std::vector<unsigned char>& taken,
              std::size_t root, double binHz, double nyquist)
{
    s.power = 0.0;
    s.harmonics = 0;
    s.members.clear();
    s.powers.clear();
    s.hz = peaks[root].hz;
    s.phaseHz = peaks[root].phaseHz > 0.0 && peaks[root].bestHz(binHz) == peaks[root].phaseHz ? peaks[root].phaseHz : 0.0;
    const double f0 = peaks[root].bestHz(binHz);
    double strongest = 0.0;
    std::size_t next = 0;
    for (std::uint32_t h = 1; h <= kMaxHarmonic && h * f0 < nyquist; ++h) {
        const double target = h * f0;
        const double reach = std::max(0.6 * binHz, 0.01 * target);
        // Peaks come in order of frequency, and so do the targets.
        while (next < count && peaks[next].hz < target - reach)
            ++next;
        std::size_t best = count;
        for (std::size_t i = next; i < count && peaks[i].hz <= target + reach; ++i) {
            if (taken[i] || peaks[i].hum)
                continue;
            // Both timed by their phase: a harmonic lies on the multiple
            // closer than the bins can tell (a tone near the 9th of a weak
            // low one is not its harmonic).
            const bool timed = s.phaseHz > 0.0 && peaks[i].phaseHz > 0.0 && peaks[i].bestHz(binHz) == peaks[i].phaseHz;
            if (timed && std::fabs(peaks[i].phaseHz - target) > std::max(kTimedReachBins * binHz, 0.01 * target))
                continue;
            if (best == count || peaks[i].power > peaks[best].power)
                best = i;
        }
        if (h == 1)
            best = root;
        s.powers.push_back(best == count ? 0.0 : peaks[best].power);
        if (best == count)
            continue;
        s.members.push_back(best);
        s.power += peaks[best].power;
        s.harmonics = h;
        strongest = std::max(strongest, peaks[best].power);
    }
    s.fundamental = peaks[root].power;
    if (s.fundamental < kFundamentalShare * strongest)
        s.power = 0.0;  // not the fundamental of what it would explain
}

// A frame's sums of power over its first bins, prefix[k] over bins below
// k, worked out only as far as a band asks.
class PrefixSums {
public:
    PrefixSums(std::vector<double>& sums, std::size_t bins) : sums_(sums), bins_(bins) {}
    void start(const float* power)
    {
        power_ = power;
        done_ = 0;
        sums_[0] = 0.0;
    }
    std::size_t last() const { return bins_; }
    double operator[](std::size_t k)
    {
        for (; done_ < k; ++done_)
            sums_[done_ + 1] = sums_[done_] + power_[done_];
        return sums_[k];
    }

private:
    std::vector<double>& sums_;  // bins + 1
    std::size_t bins_;
    const float* power_ = nullptr;
    std::size_t done_ = 0;
};

double bandSum(PrefixSums& prefix, double fromHz, double toHz, double binHz)
{
    const std::size_t last = prefix.last();
    const auto binOf = [&](double hz) {
        const double b = std::ceil(hz / binHz);
        return b < 0.0 ? std::size_t{0} : std::min(last, static_cast<std::size_t>(b));
    };
    const std::size_t from = binOf(fromHz), to = binOf(toHz);
    return to > from ? prefix[to] - prefix[from] : 0.0;
}

// The hum in [from, to): its marked peaks, and the bins around every
// multiple of the mains up to the 5th that no harmonic of f0 sits on.
double humInBand(PrefixSums& prefix, const Peak* peaks, std::size_t count, const SpectralFrames& frames,
                 double from, double to, double f0)
{
    double hum = 0.0;
    for (std::size_t i = 0; i < count; ++i)
        if (peaks[i].hum && peaks[i].hz >= from && peaks[i].hz < to)
            hum += peaks[i].power;
    if (!(frames.mainsHz > 0.0))
        return hum;
    for (int n = 1; n <= kHumHarmonics; ++n) {
        const double hz = n * frames.mainsHz;
        const double h = std::floor(hz / f0 + 0.5);
        if (hz < from || hz >= to || (h >= 1.0 && std::fabs(hz - h * f0) < 2.5 * frames.binHz))
            continue;
        bool marked = false;
        for (std::size_t i = 0; i < count; ++i)
            marked = marked || (peaks[i].hum && std::fabs(peaks[i].hz - hz) < 2.5 * frames.binHz);
        if (!marked)
            hum += bandSum(prefix, hz - 2.5 * frames.binHz, hz + 2.5 * frames.binHz, frames.binHz);
    }
    return hum;
}

// The noise in the octave around f0: its bins clear of the series' peaks
// and of hum (the window's leakage reaches four bins), scaled up to the
// whole octave.
double octaveNoise(const float* power, const Peak* peaks, std::size_t count, const std::vector<std::size_t>& members,
                   double f0, double binHz, std::size_t bins, std::vector<unsigned char>& clear)
{
    const std::size_t from = static_cast<std::size_t>(std::ceil(f0 / kSqrtTwo / binHz));
    const std::size_t to = std::min(bins, static_cast<std::size_t>(std::ceil(f0 * kSqrtTwo / binHz)));
    if (to <= from)
        return 0.0;
    clear.assign(to - from, 1);
    const auto keepClear = [&](std::uint32_t bin) {
        for (std::size_t k = bin > kLeakBins ? bin - kLeakBins : 0; k <= bin + kLeakBins; ++k)
            if (k >= from && k < to)
                clear[k - from] = 0;
    };
    for (const std::size_t m : members)
        keepClear(peaks[m].bin);
    for (std::size_t i = 0; i < count; ++i)
        if (peaks[i].hum)
            keepClear(peaks[i].bin);
    double sum = 0.0;
    std::size_t counted = 0;
    for (std::size_t k = from; k < to; ++k)
        if (clear[k - from]) {
            sum += power[k];
            ++counted;
        }
    return counted > 0 ? sum / static_cast<double>(counted) * static_cast<double>(to - from) : 0.0;
}

}  // namespace

void PitchEntryFinder::add(const SpectralFrames& frames, std::size_t t, const Peak* peaks, std::size_t count,
                           const float* power, std::vector<PitchEntry>& out)
{
    if (count == 0)
        return;
    const std::size_t bins = frames.size / 2 + 1;
    const double nyquist = frames.binHz * static_cast<double>(frames.size / 2) * 0.96;
    sums_.resize(bins + 1);
    PrefixSums prefix(sums_, bins);
    prefix.start(power);
    taken_.assign(count, 0);
    double firstPower = 0.0;
    for (int round = 0; round < kSeriesPerFrame; ++round) {
        best_.power = 0.0;
        for (std::size_t root = 0; root < count; ++root) {
            if (taken_[root] || peaks[root].hum || peaks[root].hz < kLowestFundamentalHz)
                continue;
            seriesOn(candidate_, peaks, count, taken_, root, frames.binHz, nyquist);
            if (candidate_.power > best_.power)
                std::swap(best_, candidate_);
        }
        if (!(best_.power > 0.0) || best_.power < kFurtherShare * firstPower)
            break;
        if (round == 0)
            firstPower = best_.power;
        for (const std::size_t m : best_.members)
            taken_[m] = 1;

        PitchEntry e;
        e.frame = static_cast<std::uint32_t>(t);
        e.hz = best_.hz;
        e.phaseHz = best_.phaseHz;
        e.seriesPower = best_.power;
        e.fundamentalPower = best_.fundamental;
        e.harmonics = best_.harmonics;
        e.harmonicPowers = best_.powers;
        const double f0 = best_.phaseHz > 0.0 ? best_.phaseHz : best_.hz;
        const double top = (e.harmonics + 0.5) * f0;
        const double humIn = humInBand(prefix, peaks, count, frames, 0.5 * f0, top, f0);
        e.bandPower = std::max(e.seriesPower, bandSum(prefix, 0.5 * f0, top, frames.binHz) - humIn);
        e.octaveNoise = octaveNoise(power, peaks, count, best_.members, f0, frames.binHz, bins, clear_);
        out.push_back(std::move(e));
    }
}

}  // namespace tonalyx::detail::measurement
