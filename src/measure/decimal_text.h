// Numbers as the measurement prints them: the same digits on every
// platform, without printf or the locale.
#pragma once

#include <cstdint>
#include <string>

namespace tonalyx::detail::measurement {

// `value` with `decimals` decimals (0 to 3), rounded as printf rounds but
// without the platform's printf; "-0.0" never appears (a value that rounds
// to 0 is 0). NaN is 0; values are clamped to +-10^12.
void appendDecimal(std::string& out, double value, int decimals);

// `value` in decimal, as "%u" prints it.
void appendWhole(std::string& out, std::uint64_t value);

}  // namespace tonalyx::detail::measurement
