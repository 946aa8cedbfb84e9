#include <cmath>
#include <string>

#include "common/fixed_format.h"
#include "measure/decimal_rounding.h"
#include "tonalyx/tonalyx.hpp"

namespace tonalyx {

namespace {

// `value` with `decimals` decimals, rounded as printf rounds but without
// the platform's printf; "-0.0" never appears (a value that rounds to 0 is
// 0). Values are clamped to +-10^12.
void appendDecimal(std::string& out, double value, int decimals)
{
    if (!(value == value))
        value = 0.0;  // NaN
    value = value > 1e12 ? 1e12 : value < -1e12 ? -1e12 : value;
    const double scaled = measurement::scaledRounded(value, decimals);
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

}  // namespace

std::string measurementLine(const Measurement& measurement)
{
    std::string line = "tone=";
    if (measurement.hasTone) {
        char digits[32];
        line.append(digits, formatWhole(measurement.tone, digits));
    } else {
        line += "none";
    }
    line += " measured=";
    appendDecimal(line, measurement.measured, 2);
    line += " purity=";
    appendDecimal(line, measurement.purity, 3);
    line += " level=";
    appendDecimal(line, measurement.level, 1);
    line += " start=";
    appendDecimal(line, measurement.start, 3);
    line += " end=";
    appendDecimal(line, measurement.end, 3);
    line += " channel=";
    char digits[32];
    line.append(digits, formatWhole(measurement.channel, digits));
    return line;
}

}  // namespace tonalyx
