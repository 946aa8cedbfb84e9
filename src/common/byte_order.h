// Unsigned fields of 1 to 8 bytes in either byte order: RIFF and RF64 files
// are little-endian, RIFX files big-endian. Every reader decodes with these.
#pragma once

#include <cstdint>

namespace tonalyx {

inline std::uint64_t fieldOf(const unsigned char* p, int bytes, bool bigEndian)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[bigEndian ? i : bytes - 1 - i];
    return value;
}

inline std::uint16_t u16(const unsigned char* p, bool bigEndian)
{
    return static_cast<std::uint16_t>(fieldOf(p, 2, bigEndian));
}

inline std::uint32_t u32(const unsigned char* p, bool bigEndian)
{
    return static_cast<std::uint32_t>(fieldOf(p, 4, bigEndian));
}

inline std::uint16_t loadLe16(const unsigned char* p)
{
    return u16(p, false);
}

inline std::uint32_t loadLe32(const unsigned char* p)
{
    return u32(p, false);
}

}  // namespace tonalyx
