#include "recording/sample_decode.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace tonalyx::recording {

namespace {

constexpr double kFloatMax = std::numeric_limits<float>::max();

// Exponent bits all set: an infinity or a NaN.
float finiteOrZero(float value)
{
    return (std::bit_cast<std::uint32_t>(value) & 0x7F800000u) == 0x7F800000u ? 0.0f : value;
}

void decodeU8(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<int>(in[i]) - 128) / 128.0f;
}

void decodeS16(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 2) {
        const auto raw = static_cast<std::uint16_t>(in[0] | in[1] << 8);
        out[i] = static_cast<float>(static_cast<std::int16_t>(raw)) / 32768.0f;
    }
}

void decodeS24(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 3) {
        // Into the high bits of 32, so that the sign comes along.
        const std::uint32_t raw = static_cast<std::uint32_t>(in[0]) << 8 | static_cast<std::uint32_t>(in[1]) << 16 |
                                  static_cast<std::uint32_t>(in[2]) << 24;
        out[i] = static_cast<float>(static_cast<std::int32_t>(raw) / 256) / 8388608.0f;
    }
}

void decodeS32(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 4) {
        const std::uint32_t raw = static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
                                  static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
        out[i] = static_cast<float>(static_cast<std::int32_t>(raw)) / 2147483648.0f;
    }
}

void decodeF32(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 4) {
        const std::uint32_t raw = static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
                                  static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
        out[i] = finiteOrZero(std::bit_cast<float>(raw));
    }
}

void decodeF64(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 8) {
        std::uint64_t raw = 0;
        for (int b = 7; b >= 0; --b)
            raw = raw << 8 | in[b];
        const double value = std::bit_cast<double>(raw);
        // Comparisons fail for a NaN, so it becomes 0 along with values
        // beyond float's range.
        const bool fits = value >= -kFloatMax && value <= kFloatMax;
        out[i] = fits ? static_cast<float>(value) : 0.0f;
    }
}

}  // namespace

void decodeSamples(SampleEncoding encoding, const unsigned char* bytes, std::size_t count, float* out)
{
    switch (encoding) {
    case SampleEncoding::u8: decodeU8(bytes, count, out); break;
    case SampleEncoding::s16: decodeS16(bytes, count, out); break;
    case SampleEncoding::s24: decodeS24(bytes, count, out); break;
    case SampleEncoding::s32: decodeS32(bytes, count, out); break;
    case SampleEncoding::f32: decodeF32(bytes, count, out); break;
    case SampleEncoding::f64: decodeF64(bytes, count, out); break;
    }
}

}  // namespace tonalyx::recording
