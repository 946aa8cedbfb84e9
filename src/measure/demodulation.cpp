#include "measure/demodulation.h"

#include <algorithm>
#include <cstddef>

#include "common/bit_copy.h"

namespace tonalyx::detail::measurement {

namespace {

// Runs of this many frames share one table of phases; each run starts from
// a phase worked out afresh, so no error builds up along a long span.
constexpr std::size_t kRun = 128;

}  // namespace

Phasor demodulate(const Track& track, Span span, double cyclesPerFrame, double offset, const double* weights)
{
    const std::size_t run = static_cast<std::size_t>(std::min<std::uint64_t>(kRun, span.size()));
    // Callers often ask for the same frequency over several spans: the
    // table of the last is kept for the next, when its bits match.
    thread_local struct {
        std::uint64_t cycles = 0;
        std::size_t run = 0;
        double re[kRun], im[kRun];
    } table;
    const auto cycles = bitCopy<std::uint64_t>(cyclesPerFrame);
    if (table.cycles != cycles || table.run < run) {
        for (std::size_t k = 0; k < run; ++k) {
            const Phasor u = unitOfTurns(-fractionOf(cyclesPerFrame * static_cast<double>(k)));
            table.re[k] = u.re;
            table.im[k] = u.im;
        }
        table.cycles = cycles;
        table.run = run;
    }
    const double* tableRe = table.re;
    const double* tableIm = table.im;
    Phasor total;
    for (std::uint64_t start = span.begin; start < span.end; start += run) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(run, span.end - start));
        const double* w = weights ? weights + (start - span.begin) : nullptr;
        // Two sums each, even and odd frames, so that the additions of
        // one do not wait for the other's.
        double re0 = 0.0, im0 = 0.0, re1 = 0.0, im1 = 0.0;
        std::size_t k = 0;
        for (; k + 1 < count; k += 2) {
            double a = track[start + k] - offset, b = track[start + k + 1] - offset;
            if (w) {
                a *= w[k];
                b *= w[k + 1];
            }
            re0 += a * tableRe[k];
            im0 += a * tableIm[k];
            re1 += b * tableRe[k + 1];
            im1 += b * tableIm[k + 1];
        }
        if (k < count) {
            const double a = (track[start + k] - offset) * (w ? w[k] : 1.0);
            re0 += a * tableRe[k];
            im0 += a * tableIm[k];
        }
        const double re = re0 + re1, im = im0 + im1;
        const Phasor p = unitOfTurns(-fractionOf(cyclesPerFrame * static_cast<double>(start)));
        total.re += p.re * re - p.im * im;
        total.im += p.re * im + p.im * re;
    }
    return total;
}

}  // namespace tonalyx::detail::measurement
