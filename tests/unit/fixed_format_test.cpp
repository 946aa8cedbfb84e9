// Six-decimal formatting against printf's "%lf" (the C library's, here).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "common/fixed_format.h"

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
    };
    for (const double value : values)
        EXPECT_EQ(fast(value), printed(value)) << std::hexfloat << value;
}

TEST(FixedFormat, RandomValuesOfEveryMagnitudeAsPrintf)
{
    std::mt19937_64 random(20261207);
    int differing = 0;
    for (int i = 0; i < 400000; ++i) {
        double value;
        if (i % 2 == 0) {
            value = std::bit_cast<double>(random());  // any bit pattern
        } else {
            // Magnitudes the tool prints: below 2^13, and the samples in [-1, 1].
            const int exponent = static_cast<int>(random() % 40) - 27;
            value = std::ldexp(static_cast<double>(random() >> 11), exponent - 53) * (random() & 1 ? 1 : -1);
        }
        if (fast(value) != printed(value) && differing++ < 10)
            ADD_FAILURE() << std::hexfloat << value << ": " << fast(value) << " instead of " << printed(value);
    }
    EXPECT_EQ(differing, 0);
}
