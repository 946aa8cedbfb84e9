#include "measure/fourier.h"

#include <cstddef>
#include <memory>
#include <utility>

namespace tonalyx::detail::measurement {

namespace {

// cos and sin of 2 pi k / n for k <= n/8, each from the series (no
// recurrence, so no error builds up along the table).
std::vector<Phasor> seriesTable(std::size_t n)
{
    std::vector<Phasor> table(n / 8 + 1);
    for (std::size_t k = 0; k <= n / 8; ++k)
        table[k] = unitOfTurns(static_cast<double>(k) / static_cast<double>(n));
    return table;
}

// The same for any size, the rest of the circle coming by symmetry. Index
// k holds what angle k / n needs.
std::vector<Phasor> eighthTurnTable(std::size_t n)
{
    // Sizes up to kSharedSize take every (kSharedSize / n)-th entry of one
    // table kept per thread: k / n and k m / (n m) are the same double,
    // so the entries are the same bits, and a process pays for each
    // entry's series once.
    // Only a size that divides kSharedSize (a power of two) finds its
    // angles there: any other would take them a little off.
    constexpr std::size_t kSharedSize = 8192;
    if (n > kSharedSize || kSharedSize % n != 0)
        return seriesTable(n);
    // Filled as sizes ask for entries: a process with small sizes only
    // pays for the few it uses.
    thread_local std::vector<Phasor> shared(kSharedSize / 8 + 1);
    thread_local std::vector<unsigned char> known(kSharedSize / 8 + 1, 0);
    std::vector<Phasor> table(n / 8 + 1);
    for (std::size_t k = 0; k <= n / 8; ++k) {
        const std::size_t j = k * (kSharedSize / n);
        if (!known[j]) {
            shared[j] = unitOfTurns(static_cast<double>(j) / static_cast<double>(kSharedSize));
            known[j] = 1;
        }
        table[k] = shared[j];
    }
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

// One butterfly: a = a + w b, b = a - w b.
inline void butterfly(double& ar, double& ai, double& br, double& bi, double wr, double wi)
{
    const double tr = br * wr - bi * wi;
    const double ti = br * wi + bi * wr;
    br = ar - tr;
    bi = ai - ti;
    ar = ar + tr;
    ai = ai + ti;
}

// One span of butterflies, the parts apart and unaliased, so that the
// compiler runs them side by side.
void butterflySpan(double* __restrict ar, double* __restrict ai, double* __restrict br, double* __restrict bi,
                   const double* __restrict wr, const double* __restrict wi, std::size_t span)
{
    for (std::size_t k = 0; k < span; ++k) {
        double a = ar[k], b = ai[k], c = br[k], d = bi[k];
        butterfly(a, b, c, d, wr[k], wi[k]);
        ar[k] = a;
        ai[k] = b;
        br[k] = c;
        bi[k] = d;
    }
}

// The stages of spans s and 2s in one pass over a run of 4s values,
// quarters 0 to 3 (r0, i0 to r3, i3): each value loaded and stored once
// for both. Twiddles w1 are span s's, w2 and w3 the halves of span 2s's.
// Every pointer a parameter of its own, unaliased, for the vectoriser.
// `Span`, when not 0, is span known to the compiler: the many short runs
// of span 4 go without a loop.
template <std::size_t Span>
void twoSpans(double* __restrict r0, double* __restrict i0, double* __restrict r1, double* __restrict i1,
              double* __restrict r2, double* __restrict i2, double* __restrict r3, double* __restrict i3,
              const double* __restrict w1r, const double* __restrict w1i, const double* __restrict w2r,
              const double* __restrict w2i, const double* __restrict w3r, const double* __restrict w3i,
              std::size_t span)
{
    if constexpr (Span != 0)
        span = Span;
    for (std::size_t k = 0; k < span; ++k) {
        double ar = r0[k], ai = i0[k], br = r1[k], bi = i1[k], cr = r2[k], ci = i2[k], dr = r3[k], di = i3[k];
        butterfly(ar, ai, br, bi, w1r[k], w1i[k]);
        butterfly(cr, ci, dr, di, w1r[k], w1i[k]);
        butterfly(ar, ai, cr, ci, w2r[k], w2i[k]);
        butterfly(br, bi, dr, di, w3r[k], w3i[k]);
        r0[k] = ar;
        i0[k] = ai;
        r1[k] = br;
        i1[k] = bi;
        r2[k] = cr;
        i2[k] = ci;
        r3[k] = dr;
        i3[k] = di;
    }
}

// Spans s and 2s over all n values, a run of 4s at a time.
template <std::size_t Span>
void twoSpansOver(double* re, double* im, std::size_t n, std::size_t span, const double* w1r, const double* w1i,
                  const double* w2r, const double* w2i)
{
    for (std::size_t first = 0; first < n; first += 4 * span) {
        double *r = re + first, *i = im + first;
        twoSpans<Span>(r, i, r + span, i + span, r + 2 * span, i + 2 * span, r + 3 * span, i + 3 * span, w1r, w1i,
                       w2r, w2i, w2r + span, w2i + span, span);
    }
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

FourierPlan::FourierPlan(std::size_t n) : size_(n), reversed_(n)
{
    const std::vector<Phasor> twiddles = twiddlesOf(n);
    for (std::size_t span = 1; span < n; span *= 2) {
        const std::size_t stride = n / (2 * span);
        for (std::size_t k = 0; k < span; ++k) {
            twiddleRe_.push_back(twiddles[k * stride].re);
            twiddleIm_.push_back(twiddles[k * stride].im);
        }
    }
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j |= bit;
        reversed_[i] = static_cast<std::uint32_t>(j);
    }
}

void FourierPlan::transform(std::vector<Phasor>& data) const
{
    const std::size_t n = size_;
    if (n < 2)
        return;
    thread_local std::vector<double> reals, imags;
    reals.resize(n);
    imags.resize(n);
    double* re = reals.data();
    double* im = imags.data();
    for (std::size_t i = 0; i < n; ++i) {
        re[reversed_[i]] = data[i].re;
        im[reversed_[i]] = data[i].im;
    }
    butterflies(re, im);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = {re[i], im[i]};
}

void FourierPlan::transform(double* re, double* im) const
{
    const std::size_t n = size_;
    if (n < 2)
        return;
    for (std::size_t i = 0; i < n; ++i)
        if (i < reversed_[i]) {
            std::swap(re[i], re[reversed_[i]]);
            std::swap(im[i], im[reversed_[i]]);
        }
    butterflies(re, im);
}

// Real and imaginary parts apart, so that the butterflies of a stage run
// side by side in vector registers; the arithmetic of each is the radix-2
// butterfly's, operation for operation.
void FourierPlan::butterflies(double* re, double* im) const
{
    const std::size_t n = size_;
    if (n < 2)
        return;
    if (n == 2) {
        const double br = re[1], bi = im[1];
        re[1] = re[0] - br;
        im[1] = im[0] - bi;
        re[0] += br;
        im[0] += bi;
        return;
    }
    for (std::size_t first = 0; first < n; first += 4)
        firstSpans({re[first], im[first]}, {re[first + 1], im[first + 1]}, {re[first + 2], im[first + 2]},
                   {re[first + 3], im[first + 3]}, re + first, im + first);
    laterSpans(re, im);
}

void FourierPlan::laterSpans(double* re, double* im) const
{
    const std::size_t n = size_;
    // The rest two spans a pass, and one alone if their count is odd.
    std::size_t span = 4;
    for (; 4 * span <= n; span *= 4) {
        const double* w1r = twiddleRe_.data() + (span - 1);
        const double* w1i = twiddleIm_.data() + (span - 1);
        const double* w2r = twiddleRe_.data() + (2 * span - 1);
        const double* w2i = twiddleIm_.data() + (2 * span - 1);
        if (span == 4)
            twoSpansOver<4>(re, im, n, span, w1r, w1i, w2r, w2i);
        else
            twoSpansOver<0>(re, im, n, span, w1r, w1i, w2r, w2i);
    }
    if (span < n) {
        const double* wr = twiddleRe_.data() + (span - 1);
        const double* wi = twiddleIm_.data() + (span - 1);
        for (std::size_t first = 0; first < n; first += 2 * span)
            butterflySpan(re + first, im + first, re + first + span, im + first + span, wr, wi, span);
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
