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
    // The same on data the caller put in bit-reversed order as it filled
    // it, value n at reversal()[n]: no reordering pass.
    void transformReversed(double* re, double* im) const { butterflies(re, im); }
    const std::uint32_t* reversal() const { return reversed_.data(); }

private:
    // The stages of butterflies, on inputs already in bit-reversed order.
    void butterflies(double* re, double* im) const;

    std::size_t size_;
    // Each stage's twiddles in the order its butterflies take them, real
    // and imaginary parts apart: stage of span s holds e^(-pi i k / s)
    // for k < s at offset s - 1.
    std::vector<double> twiddleRe_, twiddleIm_;
    std::vector<std::uint32_t> reversed_;  // the bit reversal of each index
};

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
