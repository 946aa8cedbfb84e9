#include <string>

#include "measure/decimal_text.h"
#include "api/api.h"

namespace tonalyx {

using namespace detail;  // the library's internals, in this file alone

namespace {

using measurement::appendDecimal;
using measurement::appendWhole;

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
