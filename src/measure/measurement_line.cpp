#include <cmath>
#include <string>

#include "common/fixed_format.h"
#include "tonalyx/tonalyx.hpp"

namespace tonalyx {

namespace {

// `value` with `decimals` decimals (at most 3), rounded half up from the
// scaled value, so that no platform's printf is involved; "-0.0" never
// appears. Scaled values beyond 10^18 are clamped there.
void appendDecimal(std::string& out, double value, int decimals)
{
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i)
        scale *= 10.0;
    double scaled = std::floor(value * scale + 0.5);
    if (!(scaled == scaled))
        scaled = 0.0;  // NaN
    const double limit = 1e18;
    scaled = scaled > limit ? limit : scaled < -limit ? -limit : scaled;
    if (scaled < 0.0)
        out += '-';
    const auto units = static_cast<std::uint64_t>(std::fabs(scaled));
    const auto whole = static_cast<std::uint64_t>(scale);
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
