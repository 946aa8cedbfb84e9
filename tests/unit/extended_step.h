// The step between whole degrees as the extended type divides it, where
// that type has a 64-bit significand (x86-64): what the exact step is
// compared with.
#pragma once

#include <cstdint>
#include <limits>

constexpr bool kExtendedHas64Bits = std::numeric_limits<long double>::digits == 64;

inline double extendedStep(uint32_t noSamples, uint32_t noHertz)
{
    return static_cast<double>(static_cast<long double>(noSamples) / static_cast<long double>(noHertz) / 360.0L);
}
