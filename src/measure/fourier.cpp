#include "measure/fourier.h"

#include <cstddef>
#include <memory>
#include <utility>

namespace tonalyx::detail::measurement {

namespace {

// cos and sin of 2 pi k / n for k <= n/8, each from the series (no
// recurrence, so no error builds up along the table); the rest of the
// circle by symmetry. Index k holds what angle k / n needs.
std::vector<Phasor> eighthTurnTable(std::size_t n)
{
    std::vector<Phasor> table(n / 8 + 1);
    for (std::size_t k = 0; k <= n / 8; ++k)
        table[k] = unitOfTurns(static_cast<double>(k) / static_cast<double>(n));
    return table;
}

// e^(-2 pi i k / N) for k < N/2.
std::vector<Phasor> twiddlesOf(std::size_t n)
{
    std::vector<Phasor> twiddles(n / 2);
    if (n < 8) {
        for (std::size_t k = 0; k < n / 2; ++k) {
            const Phasor u = unitOfTurns(static_cast<double>(k) / static_cast<double>(n));
            twiddles[k] = {u.re, -u.im};
        }
        return twiddles;
    }
    const std::vector<Phasor> eighth = eighthTurnTable(n);
    const std::size_t quarter = n / 4;
    for (std::size_t k = 0; k <= n / 8; ++k) {
        const double c = eighth[k].re, s = eighth[k].im;
        twiddles[k] = {c, -s};
        twiddles[quarter - k] = {s, -c};
        if (k > 0)
            twiddles[quarter + k] = {-s, -c};
        if (k > 0 && k < quarter)
            twiddles[2 * quarter - k] = {-c, -s};
    }
    return twiddles;
}

}  // namespace

std::vector<double> hannWindow(std::size_t n)
{
    std::vector<double> window(n);
    if (n < 8) {
        for (std::size_t k = 0; k < n; ++k)
            window[k] = 0.5 - 0.5 * unitOfTurns(static_cast<double>(k) / static_cast<double>(n)).re;
        return window;
    }
    const std::vector<Phasor> eighth = eighthTurnTable(n);
    const std::size_t quarter = n / 4;
    // w[k] = (1 - cos(2 pi k / n)) / 2 = sin^2(pi k / n): symmetric about n/2,
    // and w[n/2 - k] = 1 - w[k].
    for (std::size_t k = 0; k <= n / 8; ++k) {
        const double c = eighth[k].re, s = eighth[k].im;
        window[k] = 0.5 - 0.5 * c;
        window[quarter - k] = 0.5 - 0.5 * s;
        window[quarter + k] = 0.5 + 0.5 * s;
        window[2 * quarter - k] = 0.5 + 0.5 * c;
    }
    for (std::size_t k = 1; k < 2 * quarter; ++k)
        window[n - k] = window[k];
    return window;
}

FourierPlan::FourierPlan(std::size_t n) : size_(n), twiddles_(twiddlesOf(n))
{
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j |= bit;
        if (i < j) {
            swaps_.push_back(static_cast<std::uint32_t>(i));
            swaps_.push_back(static_cast<std::uint32_t>(j));
        }
    }
}

void FourierPlan::transform(std::vector<Phasor>& data) const
{
    const std::size_t n = size_;
    if (n < 2)
        return;
    // Inputs in bit-reversed order, then butterflies of growing span.
    for (std::size_t i = 0; i < swaps_.size(); i += 2)
        std::swap(data[swaps_[i]], data[swaps_[i + 1]]);
    for (std::size_t span = 1; span < n; span *= 2) {
        const std::size_t stride = n / (2 * span);
        for (std::size_t first = 0; first < n; first += 2 * span) {
            for (std::size_t k = 0; k < span; ++k) {
                const Phasor w = twiddles_[k * stride];
                Phasor& a = data[first + k];
                Phasor& b = data[first + k + span];
                const Phasor t{b.re * w.re - b.im * w.im, b.re * w.im + b.im * w.re};
                b = {a.re - t.re, a.im - t.im};
                a = {a.re + t.re, a.im + t.im};
            }
        }
    }
}

const FourierPlan& planOf(std::size_t n)
{
    // Keyed by the power of two; thread_local, so runs on many threads
    // share nothing.
    thread_local std::vector<std::unique_ptr<FourierPlan>> plans(64);
    std::size_t bits = 0;
    while ((std::size_t{1} << bits) < n)
        ++bits;
    if (!plans[bits])
        plans[bits] = std::make_unique<FourierPlan>(n);
    return *plans[bits];
}

const std::vector<double>& hannOf(std::size_t n)
{
    thread_local std::vector<std::unique_ptr<std::vector<double>>> windows(64);
    std::size_t bits = 0;
    while ((std::size_t{1} << bits) < n)
        ++bits;
    if (!windows[bits])
        windows[bits] = std::make_unique<std::vector<double>>(hannWindow(n));
    return *windows[bits];
}

void fourierTransform(std::vector<Phasor>& data)
{
    FourierPlan(data.size()).transform(data);
}

}  // namespace tonalyx::detail::measurement
