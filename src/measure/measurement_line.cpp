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

void appendWhole(std::string& out, std::uint64_t value)
{
    char digits[32];
    out.append(digits, formatWhole(value, digits));
}

void appendTone(std::string& out, bool hasTone, std::uint32_t tone)
{
    if (hasTone)
        appendWhole(out, tone);
    else
        out += "none";
}

}  // namespace

const char* reasonName(NoToneReason reason)
{
    switch (reason) {
    case NoToneReason::none: break;
    case NoToneReason::shortTone: return "short";
    case NoToneReason::impure: return "impure";
    case NoToneReason::offBand: return "off-band";
    case NoToneReason::several: return "several";
    case NoToneReason::silent: return "silent";
    case NoToneReason::hum: return "hum";
    }
    return "";
}

std::string measurementLine(const Measurement& measurement)
{
    std::string line = "tone=";
    appendTone(line, measurement.hasTone, measurement.tone);
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
    appendWhole(line, measurement.channel);
    line += " thd=";
    appendDecimal(line, measurement.thd, 2);
    line += " snr=";
    appendDecimal(line, measurement.snr, 1);
    line += " drift=";
    appendDecimal(line, measurement.drift, 2);
    line += " bursts=";
    appendWhole(line, measurement.bursts);
    if (!measurement.hasTone) {
        line += " reason=";
        line += reasonName(measurement.reason == NoToneReason::none ? NoToneReason::impure : measurement.reason);
    }
    if (measurement.cut > 0.0) {
        line += " cut=";
        appendDecimal(line, measurement.cut, 3);
    }
    return line;
}

std::string segmentLine(const Segment& segment)
{
    std::string line = "segment start=";
    appendDecimal(line, segment.start, 3);
    line += " end=";
    appendDecimal(line, segment.end, 3);
    line += " tone=";
    appendTone(line, segment.hasTone, segment.tone);
    line += " measured=";
    appendDecimal(line, segment.measured, 2);
    line += " purity=";
    appendDecimal(line, segment.purity, 3);
    line += " level=";
    appendDecimal(line, segment.level, 1);
    return line;
}

}  // namespace tonalyx
