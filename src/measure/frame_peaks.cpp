#include "measure/frame_peaks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "measure/fourier.h"
#include "measure/mains_hum.h"

namespace tonalyx::detail::measurement {

namespace {

// A peak counts from this many times the median power around it (10 dB).
constexpr double kPeakOverFloor = 10.0;
// At most this many peaks a frame, the strongest.
constexpr std::size_t kMaxPeaks = 24;

std::size_t frameSizeFor(double rate, std::size_t frames)
{
    std::size_t size = rate < 12000.0 ? 512 : 1024;
    while (size > 32 && size > frames)
        size /= 2;
    return size;
}

// Whether `bin` stands kPeakOverFloor times over the median of the powers
// 3 to 9 bins either side of it: the noise around a peak, clear of its own
// main lobe. It does when more than half of them lie that far below it,
// which asks for no sorting. `raised` holds each bin's power times
// kPeakOverFloor.
bool standsOverFloor(const float* power, const double* raised, std::size_t bin, std::size_t last)
{
    const double level = power[bin];
    if (bin >= 10 && bin + 9 <= last) {
        // Clear of both ends, as nearly every bin is: eight of fourteen.
#if defined(__GNUC__)
        // Two bins a compare, where the compiler has the lanes: each
        // lane's mask -1 where the bin lies that far below.
        typedef double Lanes __attribute__((vector_size(16)));
        typedef long long Masks __attribute__((vector_size(16)));
        const Lanes at = {level, level};
        const auto pair = [&](std::size_t k) {
            Lanes two;
            std::memcpy(&two, raised + k, sizeof two);
            return two;
        };
        const Masks below = (pair(bin - 9) <= at) + (pair(bin - 7) <= at) + (pair(bin - 5) <= at) +
                            (Lanes{raised[bin - 3], raised[bin + 3]} <= at) + (pair(bin + 4) <= at) +
                            (pair(bin + 6) <= at) + (pair(bin + 8) <= at);
        return below[0] + below[1] <= -8;
#else
        int below = 0;
        for (std::size_t d = 3; d <= 9; ++d)
            below += (raised[bin - d] <= level) + (raised[bin + d] <= level);
        return below >= 8;
#endif
    }
    std::size_t count = 0, below = 0;
    for (std::size_t d = 3; d <= 9; ++d) {
        if (bin >= d + 1) {
            ++count;
            below += raised[bin - d] <= level;
        }
        if (bin + d <= last) {
            ++count;
            below += raised[bin + d] <= level;
        }
    }
    return below >= count / 2 + 1 || (count == 0 && level >= 0.0);
}

// The Hann window's bins beside a tone at bin + d (0 <= d <= 1) stand to
// the peak as (1 + d) / (2 - d) in magnitude: d = (2 r - 1) / (r + 1).
double interpolatedBin(const float* power, std::size_t bin)
{
    const double here = std::sqrt(static_cast<double>(power[bin]));
    const double below = std::sqrt(static_cast<double>(power[bin - 1]));
    const double above = std::sqrt(static_cast<double>(power[bin + 1]));
    if (!(here > 0.0))
        return static_cast<double>(bin);
    const double ratio = std::max(below, above) / here;
    const double offset = std::clamp((2.0 * ratio - 1.0) / (ratio + 1.0), 0.0, 1.0);
    return static_cast<double>(bin) + (above >= below ? offset : -offset);
}

// One frame of a transform that took two: the first as its real part,
// the second as its imaginary part, split apart by the spectrum's symmetry.
struct FrameSpectrum {
    const double* re;  // the joint transform
    const double* im;
    std::size_t size;
    std::size_t half;  // 0: the first frame; 1: the second

    // first: (Z[k] + conj Z[N-k]) / 2; second: (Z[k] - conj Z[N-k]) / 2i
    Phasor at(std::size_t k) const
    {
        const std::size_t mirror = k == 0 ? 0 : size - k;
        const double zr = re[k], zi = im[k], mr = re[mirror], mi = im[mirror];
        return half == 0 ? Phasor{0.5 * (zr + mr), 0.5 * (zi - mi)} : Phasor{0.5 * (zi + mi), 0.5 * (mr - zr)};
    }
};

// The powers of a joint transform's frames (the second when `Pair`),
// each added to its bin's sum, frame by frame: the same arithmetic as
// FrameSpectrum::at, bins side by side. Bin 0 is its own mirror.
template <bool Pair>
void splitPowers(const double* __restrict re, const double* __restrict im, std::size_t size, double* __restrict first,
                 double* __restrict second, double* __restrict sum)
{
    const auto bin = [](double zr, double zi, double mr, double mi, double& p, double& q, double& total) {
        const double ar = 0.5 * (zr + mr), ai = 0.5 * (zi - mi);
        p = ar * ar + ai * ai;
        total += p;
        if constexpr (Pair) {
            const double br = 0.5 * (zi + mi), bi = 0.5 * (mr - zr);
            q = br * br + bi * bi;
            total += q;
        }
    };
    bin(re[0], im[0], re[0], im[0], first[0], second[0], sum[0]);
    for (std::size_t k = 1; k <= size / 2; ++k)
        bin(re[k], im[k], re[size - k], im[size - k], first[k], second[k], sum[k]);
}

// Frames' rows of powers as kept, floats, and as the floor test compares
// them: times kPeakOverFloor.
void storePowers(const double* __restrict power, float* __restrict row, double* __restrict raised, std::size_t bins)
{
    for (std::size_t k = 0; k < bins; ++k) {
        row[k] = static_cast<float>(power[k]);
        raised[k] = kPeakOverFloor * row[k];
    }
}

// The bins 2 to last - 2 that stand over their neighbours, as a tone's
// peak in a Hann window stands over the bins two away too: byte k is 1
// where bin k does. In noise about a bin in five does, at random, so
// every bin is tested without a branch, a byte each so that the tests of
// a run of bins go side by side; whole words of 8 bytes, the rest 0.
const std::vector<unsigned char>& localPeaksOf(const float* __restrict power, std::size_t last)
{
    thread_local std::vector<unsigned char> flags;
    flags.assign((last / 8 + 1) * 8, 0);
    unsigned char* __restrict flag = flags.data();
    for (std::size_t k = 2; k + 2 <= last; ++k)
        flag[k] = (power[k] > power[k - 1]) & (power[k] >= power[k + 1]) & (power[k] > power[k - 2]) &
                  (power[k] > power[k + 2]);
    return flags;
}

// The bins flagged in the 8 bytes from `at`, lowest first, for `visit`.
template <class Visit>
void forFlagged(const unsigned char* flags, std::size_t at, Visit&& visit)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t word;
        std::memcpy(&word, flags + at, sizeof word);
        for (; word != 0; word &= word - 1)
            visit(at + static_cast<std::size_t>(std::countr_zero(word)) / 8);
    } else {
        for (std::size_t k = at; k < at + 8; ++k)
            if (flags[k])
                visit(k);
    }
}

void findPeaks(SpectralFrames& out, const float* power, const FrameSpectrum& spectrum, const FrameSpectrum* previous,
               const double* raised)
{
    const std::size_t last = out.size / 2;
    const std::size_t begin = out.peaks.size();
    const std::vector<unsigned char>& local = localPeaksOf(power, last);
    for (std::size_t at = 0; at < local.size(); at += 8) {
        forFlagged(local.data(), at, [&](std::size_t k) {
            if (!standsOverFloor(power, raised, k, last))
                return;
            Peak peak;
            peak.bin = static_cast<std::uint32_t>(k);
            peak.hz = interpolatedBin(power, k) * out.binHz;
            for (std::size_t j = k - 2; j <= k + 2; ++j)
                peak.power += power[j];
            peak.height = power[k];
            if (previous) {
                // Half a frame on, bin k turns by k/2 turns; what it turned
                // more, within half a turn, moves it off the bin's middle.
                const Phasor a = previous->at(k), b = spectrum.at(k);
                const double turned = turnsOf(b.im * a.re - b.re * a.im, b.re * a.re + b.im * a.im);
                double off = turned - 0.5 * static_cast<double>(k % 2);
                off -= std::floor(off + 0.5);
                peak.phaseHz = (static_cast<double>(k) + 2.0 * off) * out.binHz;
            }
            out.peaks.push_back(peak);
        });
    }
    // The strongest only, in order of frequency.
    if (out.peaks.size() - begin > kMaxPeaks) {
        const auto first = out.peaks.begin() + static_cast<std::ptrdiff_t>(begin);
        std::nth_element(first, first + kMaxPeaks, out.peaks.end(),
                         [](const Peak& a, const Peak& b) { return a.power > b.power; });
        out.peaks.resize(begin + kMaxPeaks);
        std::sort(first, out.peaks.end(), [](const Peak& a, const Peak& b) { return a.bin < b.bin; });
    }
}

}  // namespace

SpectralFrames spectralFramesOf(const AnalysisTrack& track, const Mains* known, const FrameVisit& visit)
{
    SpectralFrames out;
    const std::size_t length = track.samples.size();
    out.size = frameSizeFor(track.rate, length);
    out.hop = out.size / 2;
    if (length < out.size || out.size < 32)
        return out;
    out.frames = (length - out.size) / out.hop + 1;
    out.binHz = track.rate / static_cast<double>(out.size);
    const std::size_t size = out.size, bins = size / 2 + 1;
    const std::vector<double>& window = hannOf(size);
    for (const double w : window)
        out.windowEnergy += w * w;
    const FourierPlan& plan = planOf(size);
    const Mains mains = known ? *known : mainsOf(track);
    out.mainsHz = mains.hz;
    out.mainsAmplitude = mains.amplitude;
    const bool keep = !visit;
    if (keep)
        out.power.resize(out.frames * bins);
    out.meanPower.assign(bins, 0.0);
    out.firstPeak.reserve(out.frames + 1);
    // Two frames a transform: one as the real part, the next as the
    // imaginary part. The transform before is kept for the phase of the
    // first frame's peaks.
    std::vector<double> joint(4 * size), powers(2 * bins), raised(2 * bins);
    std::vector<float> rows(keep ? 0 : 2 * bins);
    // A frame's peaks, once found: the mains' marked, then shown.
    const auto found = [&](std::size_t frame, std::size_t from, const float* row) {
        markMainsHum(out.peaks.data() + from, out.peaks.data() + out.peaks.size(), out.binHz, out.mainsHz);
        if (visit)
            visit(out, frame, out.peaks.data() + from, out.peaks.size() - from, row);
    };
    double *re = joint.data(), *im = re + size, *previousRe = im + size, *previousIm = previousRe + size;
    for (std::size_t t = 0; t < out.frames; t += 2) {
        const bool pair = t + 1 < out.frames;
        const float* a = track.samples.data() + t * out.hop;
        // Windowed as the transform takes them.
        if (pair) {
            const float* b = a + out.hop;
            plan.transformOf([&](std::size_t n) { return Phasor{a[n] * window[n], b[n] * window[n]}; }, re, im);
        } else {
            plan.transformOf([&](std::size_t n) { return Phasor{a[n] * window[n], 0.0}; }, re, im);
        }
        float* first = keep ? out.power.data() + t * bins : rows.data();
        if (pair)
            splitPowers<true>(re, im, size, powers.data(), powers.data() + bins, out.meanPower.data());
        else
            splitPowers<false>(re, im, size, powers.data(), powers.data() + bins, out.meanPower.data());
        storePowers(powers.data(), first, raised.data(), pair ? 2 * bins : bins);
        const FrameSpectrum before{previousRe, previousIm, size, 1}, firstFrame{re, im, size, 0},
            secondFrame{re, im, size, 1};
        out.firstPeak.push_back(static_cast<std::uint32_t>(out.peaks.size()));
        findPeaks(out, first, firstFrame, t > 0 ? &before : nullptr, raised.data());
        found(t, out.firstPeak.back(), first);
        if (pair) {
            out.firstPeak.push_back(static_cast<std::uint32_t>(out.peaks.size()));
            findPeaks(out, first + bins, secondFrame, &firstFrame, raised.data() + bins);
            found(t + 1, out.firstPeak.back(), first + bins);
        }
        std::swap(re, previousRe);
        std::swap(im, previousIm);
    }
    out.firstPeak.push_back(static_cast<std::uint32_t>(out.peaks.size()));
    for (double& p : out.meanPower)
        p /= static_cast<double>(out.frames);
    return out;
}

}  // namespace tonalyx::detail::measurement
