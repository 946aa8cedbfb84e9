// Decimal rounding of doubles as printf does it (the exact binary value to
// the nearest, ties to even), from IEEE basic operations, so that the
// measured frequency and the printed line agree on every platform.
#pragma once

namespace tonalyx::detail::measurement {

// value x 10^decimals rounded to a whole number, for |value| x 10^decimals
// below 2^52.
double scaledRounded(double value, int decimals);

}  // namespace tonalyx::detail::measurement
