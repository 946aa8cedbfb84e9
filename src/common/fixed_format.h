// "%lf" (six decimals, rounded to nearest with ties to even, the way printf
// rounds the exact value) without printf: a listing prints thousands, and
// no locale changes a byte of it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonalyx::detail {

// The longest text: a sign, 309 integer digits, the point and 6 decimals.
constexpr std::size_t kFixedMaxChars = 320;

// Writes `value` as "%lf" does in the C locale, special forms included
// ("-0.000000", "inf", "-nan"); returns the end. `out` holds at least
// kFixedMaxChars characters.
char* formatFixed6(double value, char* out);

// The most decimals formatFixed writes.
constexpr int kFixedMaxDecimals = 6;

// As "%.*f" with `decimals` (0 to kFixedMaxDecimals; more count as that
// many) writes `value` in the C locale; no point without decimals.
char* formatFixed(double value, int decimals, char* out);

// Writes `value` in decimal as "%u" does; returns the end.
char* formatWhole(uint64_t value, char* out);

}  // namespace tonalyx::detail
