#include "measure/decimal_text.h"

#include <cmath>

#include "common/fixed_format.h"
#include "measure/decimal_rounding.h"

namespace tonalyx::detail::measurement {

void appendDecimal(std::string& out, double value, int decimals)
{
    if (!(value == value))
        value = 0.0;  // NaN
    value = value > 1e12 ? 1e12 : value < -1e12 ? -1e12 : value;
    const double scaled = scaledRounded(value, decimals);
    if (scaled < 0.0)
        out += '-';
    std::uint64_t units = static_cast<std::uint64_t>(std::fabs(scaled));
    std::uint64_t whole = 1;
    for (int i = 0; i < decimals; ++i)
        whole *= 10;
    char digits[32];
    out.append(digits, formatWhole(units / whole, digits));
    if (decimals == 0)
        return;
    out += '.';
    std::uint64_t rest = units % whole;
    for (std::uint64_t unit = whole / 10; unit > 0; unit /= 10) {
        out += static_cast<char>('0' + rest / unit);
        rest %= unit;
    }
}

void appendWhole(std::string& out, std::uint64_t value)
{
    char digits[32];
    out.append(digits, formatWhole(value, digits));
}

}  // namespace tonalyx::detail::measurement
