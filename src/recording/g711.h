// The G.711 expansions (mu-law and A-law) of the standard, by integer
// arithmetic: each code to its linear value on the 16-bit scale.
#pragma once

#include <cstdint>

namespace tonalyx::detail::recording {

// -32124 to 32124.
constexpr int muLawValue(std::uint8_t code)
{
    const int u = ~code & 0xFF;
    const int magnitude = (((u & 0x0F) << 3) + 0x84) << ((u >> 4) & 7);
    return (u & 0x80) ? 0x84 - magnitude : magnitude - 0x84;
}

// -32256 to 32256.
constexpr int aLawValue(std::uint8_t code)
{
    const int a = code ^ 0x55;
    const int segment = (a >> 4) & 7;
    int magnitude = (a & 0x0F) << 4;
    magnitude += segment == 0 ? 8 : 0x108;
    if (segment > 1)
        magnitude <<= segment - 1;
    return (a & 0x80) ? magnitude : -magnitude;
}

}  // namespace tonalyx::detail::recording
