// Six-decimal formatting against printf's "%lf" (the C library's, here),
// and fewer decimals against "%.*f".
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "common/bit_copy.h"
#include "common/fixed_format.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

std::string fast(double value)
{
    char text[kFixedMaxChars];
    return std::string(text, formatFixed6(value, text));
}

std::string printed(double value)
{
    char text[kFixedMaxChars + 8];
    std::snprintf(text, sizeof text, "%lf", value);
    return text;
}

std::string fast(double value, int decimals)
{
    char text[kFixedMaxChars];
    return std::string(text, formatFixed(value, decimals, text));
}

std::string printed(double value, int decimals)
{
    char text[kFixedMaxChars + 8];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

TEST(FixedFormat, SpecialValuesAndEdgesAsPrintf)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {
        0.0, -0.0, inf, -inf, nan, -nan,
        std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::min(),
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
        0.0000005, -0.0000005, 0.0000015, 0.0000025,     // near the rounding point of the sixth decimal
        0.0078125, 0.0234375, -0.0078125,                // 2^-7 and 3 x 2^-7: exact ties, to even
        0.9999995, 0.99999949999999, 1.0, -1.0, 4095.0,  // carries into the whole part
        std::ldexp(1.0, 44), std::nextafter(std::ldexp(1.0, 44), 0.0), std::ldexp(1.0, 44) + 0.5,
        std::ldexp(1.0, 63), 1e300, 123456789.1234565,
        0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 0.0625, 0.9995, 9.5, 99.95,  // ties and carries at fewer decimals
    };
    for (const double value : values) {
        EXPECT_EQ(fast(value), printed(value)) << std::hexfloat << value;
        for (int decimals = 0; decimals <= kFixedMaxDecimals; ++decimals)
            EXPECT_EQ(fast(value, decimals), printed(value, decimals)) << decimals << " " << std::hexfloat << value;
    }
}

// From 2^44 on the digits are worked out apart from the smaller values; the
// texts here are derived by hand: 2^44 = 17592186044416, a fraction k/256
// is k x 3906.25 millionths (a tie, to even, where k = 2 mod 4), and
// 2^64 = 18446744073709551616.
TEST(FixedFormat, LargeValuesByHand)
{
    const double p44 = std::ldexp(1.0, 44);
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {p44, "17592186044416.000000"},
        {p44 + std::ldexp(1.0, -8), "17592186044416.003906"},       // 3906.25
        {p44 + std::ldexp(2.0, -8), "17592186044416.007812"},       // 7812.5, tie to even
        {p44 + std::ldexp(6.0, -8), "17592186044416.023438"},       // 23437.5, tie to even
        {p44 + std::ldexp(255.0, -8), "17592186044416.996094"},     // 996093.75
        {-(p44 + std::ldexp(3.0, -8)), "-17592186044416.011719"},   // 11718.75
        {std::ldexp(1.0, 53) + 2.0, "9007199254740994.000000"},
        {std::ldexp(1.0, 64), "18446744073709551616.000000"},
        {std::ldexp(1.0, 64) * 1000000000.0, "18446744073709551616000000000.000000"},
        {std::ldexp(1.0, 90), "1237940039285380274899124224.000000"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), "-nan"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fast(c.value), c.text) << std::hexfloat << c.value;
}

TEST(FixedFormat, RandomValuesOfEveryMagnitudeAsPrintf)
{
    std::mt19937_64 random(20261207);
    int differing = 0;
    for (int i = 0; i < 400000; ++i) {
        double value;
        if (i % 2 == 0) {
            value = bitCopy<double>(random());  // any bit pattern
        } else {
            // Magnitudes the tool prints: below 2^13, and the samples in [-1, 1].
            const int exponent = static_cast<int>(random() % 40) - 27;
            value = std::ldexp(static_cast<double>(random() >> 11), exponent - 53) * (random() & 1 ? 1 : -1);
        }
        if (fast(value) != printed(value) && differing++ < 10)
            ADD_FAILURE() << std::hexfloat << value << ": " << fast(value) << " instead of " << printed(value);
        const int decimals = i % (kFixedMaxDecimals + 1);
        if (i % 4 < 2 && fast(value, decimals) != printed(value, decimals) && differing++ < 10)
            ADD_FAILURE() << decimals << " decimals, " << std::hexfloat << value << ": " << fast(value, decimals)
                          << " instead of " << printed(value, decimals);
    }
    EXPECT_EQ(differing, 0);
}
