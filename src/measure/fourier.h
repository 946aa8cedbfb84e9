// The discrete Fourier transform of a block whose size is a power of two,
// for the first look at a recording's spectrum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "measure/exact_math.h"

namespace tonalyx::detail::measurement {

// The transform of one size, its twiddles and bit reversal worked out
// once for the many frames of a recording.
class FourierPlan {
public:
    explicit FourierPlan(std::size_t n);  // n a power of two (1 included)
    std::size_t size() const { return size_; }
    // In place: X[k] = sum over n of x[n] e^(-2 pi i k n / N), N = size().
    void transform(std::vector<Phasor>& data) const;
    // The same on the real and imaginary parts apart, size() values each:
    // no copies in or out, for callers that hold their data so.
    void transform(double* re, double* im) const;
    // The same on values x[n] = at(n) (a Phasor) made as the transform
    // takes them, for size() >= 4: they go through the first two stages
    // on their way in, with no pass to fill or reorder. Out into re, im.
    template <class At>
    void transformOf(At&& at, double* re, double* im) const;

private:
    // The stages of butterflies, on inputs already in bit-reversed order.
    void butterflies(double* re, double* im) const;
    // The stages from span 4 on, the first two done.
    void laterSpans(double* re, double* im) const;

    // Spans 1 and 2 on four values in bit-reversed order, out to re[0..3]
    // and im[0..3]: they turn by 1 and -i only, no products needed.
    static void firstSpans(Phasor x0, Phasor x1, Phasor x2, Phasor x3, double* re, double* im)
    {
#if defined(__GNUC__)
        // Real and imaginary parts as the two lanes of one register where
        // the compiler has them: each lane's operations as below.
        typedef double Lanes __attribute__((vector_size(16)));
        const Lanes a = {x0.re, x0.im}, b = {x1.re, x1.im}, c = {x2.re, x2.im}, d = {x3.re, x3.im};
        const Lanes d1 = a - b, s0 = a + b, d3 = c - d, s2 = c + d;
        const Lanes out2 = s0 - s2, out0 = s0 + s2;
        const Lanes turned = {d3[1], -d3[0]};  // times -i
        const Lanes out3 = d1 - turned, out1 = d1 + turned;
        re[0] = out0[0];
        im[0] = out0[1];
        re[1] = out1[0];
        im[1] = out1[1];
        re[2] = out2[0];
        im[2] = out2[1];
        re[3] = out3[0];
        im[3] = out3[1];
#else
        double br = x1.re, bi = x1.im;
        const double r1 = x0.re - br, i1 = x0.im - bi, r0 = x0.re + br, i0 = x0.im + bi;
        br = x3.re;
        bi = x3.im;
        const double r3 = x2.re - br, i3 = x2.im - bi, r2 = x2.re + br, i2 = x2.im + bi;
        br = r2;
        bi = i2;
        re[2] = r0 - br;
        im[2] = i0 - bi;
        re[0] = r0 + br;
        im[0] = i0 + bi;
        br = i3;  // b times -i
        bi = -r3;
        re[3] = r1 - br;
        im[3] = i1 - bi;
        re[1] = r1 + br;
        im[1] = i1 + bi;
#endif
    }

    std::size_t size_;
    // Each stage's twiddles in the order its butterflies take them, real
    // and imaginary parts apart: stage of span s holds e^(-pi i k / s)
    // for k < s at offset s - 1.
    std::vector<double> twiddleRe_, twiddleIm_;
    std::vector<std::uint32_t> reversed_;  // the bit reversal of each index
};

template <class At>
void FourierPlan::transformOf(At&& at, double* re, double* im) const
{
    // Bit reversal brings x[m], x[m + N/2], x[m + N/4] and x[m + 3N/4]
    // to 4j to 4j + 3, m the reversal of 4j.
    const std::size_t quarter = size_ / 4;
    for (std::size_t first = 0; first < size_; first += 4) {
        const std::size_t m = reversed_[first];
        firstSpans(at(m), at(m + 2 * quarter), at(m + quarter), at(m + 3 * quarter), re + first, im + first);
    }
    laterSpans(re, im);
}

// In place, with a plan made for the call: X[k] = sum over n of x[n]
// e^(-2 pi i k n / N). N = data.size() is a power of two (1 included).
void fourierTransform(std::vector<Phasor>& data);

// The periodic Hann window of n points: (1 - cos(2 pi k / n)) / 2.
std::vector<double> hannWindow(std::size_t n);

// The plan and the Hann window of a power-of-two size n, made once per
// thread and kept: a recording's many frames and windows share them.
const FourierPlan& planOf(std::size_t n);
const std::vector<double>& hannOf(std::size_t n);

}  // namespace tonalyx::detail::measurement
