#include "recording/sample_decode.h"

#include <array>
#include <cstdint>
#include <limits>

#include "common/bit_copy.h"
#include "common/byte_order.h"
#include "recording/g711.h"

namespace tonalyx::detail::recording {

namespace {

constexpr double kFloatMax = std::numeric_limits<float>::max();
constexpr float kTwoToMinus63 = 1.0f / 9223372036854775808.0f;

// Exponent bits all set: an infinity or a NaN.
float finiteOrZero(float value)
{
    return (bitCopy<std::uint32_t>(value) & 0x7F800000u) == 0x7F800000u ? 0.0f : value;
}

// An integer of Bytes bytes into the top of 64 bits, so that the sign
// comes along and the full scale is 2^63 for every size; one rounding to
// float, then an exact scaling. A 1-byte container is unsigned: its top
// bit flipped makes it signed.
template <int Bytes, bool BigEndian>
void decodeInteger(const unsigned char* in, std::size_t count, float* out)
{
    // The common little-endian ones (and any 1-byte container) give the
    // same values as the loop below, in loops the compiler can vectorise:
    // up to 16 bits convert to float exactly either way, and 32 bits round
    // alike at any power-of-two scale.
    if constexpr (Bytes == 1) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<float>(static_cast<int>(in[i]) - 128) * (1.0f / 128.0f);
        return;
    } else if constexpr (Bytes == 2 && !BigEndian) {
        for (std::size_t i = 0; i < count; ++i) {
            const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(in[2 * i] | in[2 * i + 1] << 8));
            out[i] = static_cast<float>(value) * (1.0f / 32768.0f);
        }
        return;
    } else if constexpr (Bytes == 4 && !BigEndian) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t bits = in[4 * i] | in[4 * i + 1] << 8 | in[4 * i + 2] << 16 |
                                       static_cast<std::uint32_t>(in[4 * i + 3]) << 24;
            out[i] = static_cast<float>(static_cast<std::int32_t>(bits)) * (1.0f / 2147483648.0f);
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i, in += Bytes) {
        std::uint64_t raw = fieldOf(in, Bytes, BigEndian) << (64 - 8 * Bytes);
        if (Bytes == 1)
            raw ^= std::uint64_t{1} << 63;
        out[i] = static_cast<float>(static_cast<std::int64_t>(raw)) * kTwoToMinus63;
    }
}

template <bool BigEndian>
void decodeF32(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 4)
        out[i] = finiteOrZero(bitCopy<float>(u32(in, BigEndian)));
}

template <bool BigEndian>
void decodeF64(const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i, in += 8) {
        const double value = bitCopy<double>(fieldOf(in, 8, BigEndian));
        // Comparisons fail for a NaN, so it becomes 0 along with values
        // beyond float's range.
        const bool fits = value >= -kFloatMax && value <= kFloatMax;
        out[i] = fits ? static_cast<float>(value) : 0.0f;
    }
}

template <int (*Expand)(std::uint8_t)>
constexpr std::array<float, 256> g711Table()
{
    std::array<float, 256> table{};
    for (int code = 0; code < 256; ++code)
        table[static_cast<std::size_t>(code)] = static_cast<float>(Expand(static_cast<std::uint8_t>(code))) / 32768.0f;
    return table;
}

constexpr std::array<float, 256> kMuLaw = g711Table<muLawValue>();
constexpr std::array<float, 256> kALaw = g711Table<aLawValue>();

void decodeTable(const std::array<float, 256>& table, const unsigned char* in, std::size_t count, float* out)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = table[in[i]];
}

template <bool BigEndian>
void decodeInOrder(const SampleFormat& format, const unsigned char* in, std::size_t count, float* out)
{
    if (format.kind == SampleKind::floating) {
        if (format.bytesPerSample == 8)
            decodeF64<BigEndian>(in, count, out);
        else
            decodeF32<BigEndian>(in, count, out);
        return;
    }
    switch (format.bytesPerSample) {
    case 1: decodeInteger<1, BigEndian>(in, count, out); break;
    case 2: decodeInteger<2, BigEndian>(in, count, out); break;
    case 3: decodeInteger<3, BigEndian>(in, count, out); break;
    case 4: decodeInteger<4, BigEndian>(in, count, out); break;
    case 5: decodeInteger<5, BigEndian>(in, count, out); break;
    case 6: decodeInteger<6, BigEndian>(in, count, out); break;
    case 7: decodeInteger<7, BigEndian>(in, count, out); break;
    default: decodeInteger<8, BigEndian>(in, count, out); break;
    }
}

}  // namespace

void decodeSamples(const SampleFormat& format, const unsigned char* bytes, std::size_t count, float* out)
{
    if (format.kind == SampleKind::muLaw)
        decodeTable(kMuLaw, bytes, count, out);
    else if (format.kind == SampleKind::aLaw)
        decodeTable(kALaw, bytes, count, out);
    else if (format.bigEndian)
        decodeInOrder<true>(format, bytes, count, out);
    else
        decodeInOrder<false>(format, bytes, count, out);
}

}  // namespace tonalyx::detail::recording
