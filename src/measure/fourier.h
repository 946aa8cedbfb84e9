// The discrete Fourier transform of a block whose size is a power of two,
// for the first look at a recording's spectrum.
#pragma once

#include <cstddef>
#include <vector>

#include "measure/exact_math.h"

namespace tonalyx::measurement {

// In place: X[k] = sum over n of x[n] e^(-2 pi i k n / N). N = data.size()
// is a power of two (1 included).
void fourierTransform(std::vector<Phasor>& data);

// The periodic Hann window of n points: (1 - cos(2 pi k / n)) / 2.
std::vector<double> hannWindow(std::size_t n);

}  // namespace tonalyx::measurement
