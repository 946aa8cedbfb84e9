#include <cmath>

#include "common/fixed_format.h"
#include "api/api.h"

using tonalyx::detail::formatFixed6;
using tonalyx::detail::kFixedMaxChars;

namespace {

// The result as printed with six decimals, read back as a number: the
// verdict judges what the user sees, as a script reading the line would.
double printedResult(double result)
{
    char text[kFixedMaxChars];
    const char* const end = formatFixed6(result, text);
    const char* p = text;
    const bool negative = *p == '-';
    p += negative;
    uint64_t micro = 0;
    int digits = 0;
    for (; p < end; ++p) {
        if (*p == '.')
            continue;
        if (*p < '0' || *p > '9' || ++digits > 15)
            return result;  // inf, nan or too large to matter
        micro = micro * 10 + static_cast<uint64_t>(*p - '0');
    }
    const double value = static_cast<double>(micro) / 1e6;  // the double nearest to the decimal
    return negative ? -value : value;
}

}  // namespace

namespace tonalyx {

using namespace detail;  // the library's internals, in this file alone

Verdict verdictOf(const Report& report, const VerdictRules& rules)
{
    if (report.status != Status::ok)
        return Verdict::error;
    if (!report.hasResult || !(printedResult(report.bestResult) >= rules.minResult))
        return Verdict::weak;
    if (rules.expect != 0 && report.bestFreq != rules.expect)
        return Verdict::wrong;
    return Verdict::ok;
}

Verdict verdictOf(const Measurement& measurement, const VerdictRules& rules)
{
    if (measurement.status != Status::ok)
        return Verdict::error;
    if (rules.expectNone)
        return measurement.hasTone ? Verdict::wrong : Verdict::ok;
    if (!measurement.hasTone || measurement.purity < rules.minPurity ||
        (rules.minLevel && measurement.level < *rules.minLevel))
        return Verdict::weak;
    if (rules.expect != 0 &&
        (measurement.tone != rules.expect ||
         std::fabs(measurement.measured - static_cast<double>(rules.expect)) > rules.tolerance))
        return Verdict::wrong;
    return Verdict::ok;
}

const char* verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::ok: return "ok";
    case Verdict::weak: return "weak";
    case Verdict::wrong: return "wrong";
    case Verdict::missing: return "missing";
    case Verdict::unlisted: return "unlisted";
    case Verdict::error: break;
    }
    return "error";
}

}  // namespace tonalyx
