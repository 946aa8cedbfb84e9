#include "common/fixed_format.h"

#include <cstdint>

#include "common/bit_copy.h"

namespace tonalyx::detail {

namespace {

// 10^decimals for the decimals a text may have.
constexpr uint64_t kScales[kFixedMaxDecimals + 1] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// value x scale (10^0 to 10^6) rounded to a whole number, ties to even, for
// value = mantissa x 2^-shift below 2^44 (mantissa < 2^53, shift >= 9). The
// product is held in two 64-bit words.
uint64_t scaledRounded(uint64_t mantissa, int shift, uint64_t scale)
{
    if (shift > 80)
        return 0;  // below 2^73 / 2^81 = 1/256: rounds to 0, and is no tie
    const uint64_t low32 = (mantissa & 0xffffffff) * scale;  // < 2^52
    const uint64_t high32 = (mantissa >> 32) * scale;        // < 2^41
    uint64_t lo = low32 + (high32 << 32);
    uint64_t hi = (high32 >> 32) + (lo < low32);

    // (hi:lo) >> shift, and the bits shifted out against one half.
    uint64_t quotient, restHigh, restLow, halfHigh, halfLow;
    if (shift < 64) {
        quotient = lo >> shift | (hi << 1 << (63 - shift));
        restHigh = 0;
        restLow = lo & ((uint64_t{1} << shift) - 1);
        halfHigh = 0;
        halfLow = uint64_t{1} << (shift - 1);
    } else {
        quotient = shift == 64 ? hi : hi >> (shift - 64);
        restHigh = shift == 64 ? 0 : hi & ((uint64_t{1} << (shift - 64)) - 1);
        restLow = lo;
        halfHigh = shift == 64 ? 0 : uint64_t{1} << (shift - 65);
        halfLow = shift == 64 ? uint64_t{1} << 63 : 0;
    }
    const bool above = restHigh > halfHigh || (restHigh == halfHigh && restLow > halfLow);
    const bool tie = restHigh == halfHigh && restLow == halfLow;
    return quotient + (above || (tie && (quotient & 1)));
}

// "00" to "99".
constexpr char kPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* writePair(uint32_t pair, char* out)
{
    out[0] = kPairs[2 * pair];
    out[1] = kPairs[2 * pair + 1];
    return out + 2;
}

}  // namespace

char* formatWhole(uint64_t value, char* out)
{
    if (value < 10) {
        *out++ = static_cast<char>('0' + value);
        return out;
    }
    char digits[20];
    char* start = digits + sizeof digits;
    while (value >= 100) {
        start -= 2;
        writePair(static_cast<uint32_t>(value % 100), start);
        value /= 100;
    }
    if (value >= 10) {
        start -= 2;
        writePair(static_cast<uint32_t>(value), start);
    } else {
        *--start = static_cast<char>('0' + value);
    }
    const auto length = static_cast<std::size_t>(digits + sizeof digits - start);
    for (std::size_t i = 0; i < length; ++i)
        out[i] = start[i];
    return out + length;
}

namespace {

// The point and exactly `Decimals` digits (nothing for none).
template <int Decimals>
char* writeDecimals(uint32_t value, char* out)
{
    if constexpr (Decimals == 0)
        return out;
    *out++ = '.';
    if constexpr (Decimals == 6) {
        out = writePair(value / 10000, out);
        out = writePair(value / 100 % 100, out);
        return writePair(value % 100, out);
    }
    for (int i = Decimals - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + Decimals;
}

constexpr uint32_t kBillion = 1000000000;

// Exactly nine digits, leading zeros included.
char* writeNineDigits(uint32_t value, char* out)
{
    for (int i = 8; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + 9;
}

// The whole number mantissa x 2^shift (mantissa < 2^53, shift up to 971)
// in decimal: base 10^9 digits, doubled up to 29 bits at a time so that a
// digit times the factor plus the carry stays below 2^64.
char* writeShiftedWhole(uint64_t mantissa, int shift, char* out)
{
    uint32_t digits[36];  // 2^1024 has 309 decimal digits
    int count = 0;
    do {
        digits[count++] = static_cast<uint32_t>(mantissa % kBillion);
        mantissa /= kBillion;
    } while (mantissa != 0);
    while (shift > 0) {
        const int step = shift < 29 ? shift : 29;
        shift -= step;
        uint64_t carry = 0;
        for (int i = 0; i < count; ++i) {
            const uint64_t doubled = (uint64_t{digits[i]} << step) + carry;
            digits[i] = static_cast<uint32_t>(doubled % kBillion);
            carry = doubled / kBillion;
        }
        if (carry != 0)
            digits[count++] = static_cast<uint32_t>(carry);  // carry < 2^29 < 10^9
    }
    out = formatWhole(digits[count - 1], out);
    for (int i = count - 2; i >= 0; --i)
        out = writeNineDigits(digits[i], out);
    return out;
}

// From 2^44 on, where value x 10^6 would pass 2^64, and the special values;
// exponent is the biased exponent field (at least 1023 + 44).
template <int Decimals>
char* formatHuge(bool negative, int exponent, uint64_t fraction, char* out)
{
    if (negative)
        *out++ = '-';
    if (exponent == 0x7ff) {
        const char* word = fraction == 0 ? "inf" : "nan";
        for (int i = 0; i < 3; ++i)
            *out++ = word[i];
        return out;
    }
    const uint64_t mantissa = fraction | uint64_t{1} << 52;
    const int shift = exponent - 1075;  // value = mantissa x 2^shift, shift >= -8
    if (shift >= 0) {
        out = writeShiftedWhole(mantissa, shift, out);
        return writeDecimals<Decimals>(0, out);
    }
    // At most 8 bits below the point: their value x 10^6 stays below 2^28.
    constexpr uint64_t scale = kScales[Decimals];
    const int dropped = -shift;
    uint64_t whole = mantissa >> dropped;
    const uint64_t scaled = (mantissa & ((uint64_t{1} << dropped) - 1)) * scale;
    uint64_t decimals = scaled >> dropped;
    const uint64_t rest = scaled & ((uint64_t{1} << dropped) - 1);
    const uint64_t half = uint64_t{1} << (dropped - 1);
    // Ties to even: the last digit written is the whole part's without decimals.
    if (rest > half || (rest == half && ((Decimals == 0 ? whole : decimals) & 1)))
        ++decimals;
    if (decimals == scale) {
        ++whole;
        decimals = 0;
    }
    out = formatWhole(whole, out);
    return writeDecimals<Decimals>(static_cast<uint32_t>(decimals), out);
}

template <int Decimals>
char* formatFixedTo(double value, char* out)
{
    const auto bits = bitCopy<uint64_t>(value);
    const int exponent = static_cast<int>(bits >> 52 & 0x7ff);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    if (exponent >= 1023 + 44)
        return formatHuge<Decimals>(bits >> 63 != 0, exponent, fraction, out);
    constexpr uint64_t scale = kScales[Decimals];
    const uint64_t mantissa = exponent == 0 ? fraction : fraction | uint64_t{1} << 52;
    const int shift = exponent == 0 ? 1074 : 1075 - exponent;  // value = mantissa x 2^-shift, shift >= 9
    const uint64_t scaled = scaledRounded(mantissa, shift, scale);
    const uint64_t whole = scaled / scale;
    const uint64_t decimals = scaled % scale;
    if (bits >> 63)
        *out++ = '-';
    out = formatWhole(whole, out);
    return writeDecimals<Decimals>(static_cast<uint32_t>(decimals), out);
}

}  // namespace

char* formatFixed6(double value, char* out)
{
    return formatFixedTo<6>(value, out);
}

char* formatFixed(double value, int decimals, char* out)
{
    switch (decimals) {
    case 0: return formatFixedTo<0>(value, out);
    case 1: return formatFixedTo<1>(value, out);
    case 2: return formatFixedTo<2>(value, out);
    case 3: return formatFixedTo<3>(value, out);
    case 4: return formatFixedTo<4>(value, out);
    case 5: return formatFixedTo<5>(value, out);
    default: return formatFixedTo<6>(value, out);
    }
}

}  // namespace tonalyx::detail
