#include <bit>
#include <cmath>
#include <limits>

#include "analysis/reference_table.h"

namespace tonalyx::detail {

// The step is noSamples / noHertz rounded to a 64-bit significand, divided
// by 360 and rounded to a 64-bit significand again, then rounded to a
// double, each time to nearest with ties to even. That is what an x87
// extended division does; here it is done with 64-bit integers, so that
// the step has the same bits where the extended type is wider or narrower.

namespace {

// m x 2^e with the top bit of m set.
struct Extended {
    uint64_t m;
    int e;
};

// x / d rounded to a 64-bit significand, for d from 1 to 2^32 - 1.
inline Extended divideRounded(Extended x, uint32_t d)
{
    // m x 2^64 / d by long division in 32-bit digits: each partial
    // dividend (remainder x 2^32 + digit) stays below 2^64. With m >= 2^63
    // the quotient has at least 96 bits, more than the 64 kept.
    const uint32_t digits[4] = {static_cast<uint32_t>(x.m >> 32), static_cast<uint32_t>(x.m), 0, 0};
    uint32_t quotient[4];
    uint64_t remainder = 0;
    for (int i = 0; i < 4; ++i) {
        const uint64_t partial = remainder << 32 | digits[i];
        quotient[i] = static_cast<uint32_t>(partial / d);
        remainder = partial % d;
    }
    const uint64_t high = static_cast<uint64_t>(quotient[0]) << 32 | quotient[1];
    const uint64_t low = static_cast<uint64_t>(quotient[2]) << 32 | quotient[3];

    const int shift = std::countl_zero(high);
    uint64_t kept = shift ? high << shift | low >> (64 - shift) : high;
    const uint64_t rest = low << shift;  // the bits below the kept ones
    const bool half = rest >> 63;
    const bool sticky = (rest << 1) != 0 || remainder != 0;
    int e = x.e - shift;
    if (half && (sticky || (kept & 1))) {
        if (++kept == 0) {
            kept = uint64_t{1} << 63;
            ++e;
        }
    }
    return {kept, e};
}

// x rounded to a double (53 bits); the steps are far from the limits of
// the exponent, so no subnormal or infinite result arises.
double toDouble(Extended x)
{
    uint64_t kept = x.m >> 11;
    const uint64_t dropped = x.m & 0x7ff;
    if (dropped > 0x400 || (dropped == 0x400 && (kept & 1)))
        ++kept;  // may reach 2^53, which is still exact
    return std::ldexp(static_cast<double>(kept), x.e + 11);
}

}  // namespace

double referenceStep(uint32_t noSamples, uint32_t noHertz)
{
    if (noHertz == 0)
        return noSamples ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    if (noSamples == 0)
        return 0.0;
    const int shift = std::countl_zero(static_cast<uint64_t>(noSamples));
    const Extended samples{static_cast<uint64_t>(noSamples) << shift, -shift};
    return toDouble(divideRounded(divideRounded(samples, noHertz), 360));
}

}  // namespace tonalyx::detail
