#include "measure/exact_math.h"

#include <cmath>

namespace tonalyx::detail::measurement {

namespace {

constexpr double kTwoPi = 6.283185307179586476925;
constexpr double kHalfPi = 1.570796326794896619231;
constexpr double kQuarterPi = 0.785398163397448309616;
constexpr double kTanEighthPi = 0.414213562373095048802;
constexpr double kLn2 = 0.693147180559945309417;
constexpr double kLn10 = 2.302585092994045684018;
constexpr double kSqrtHalf = 0.707106781186547524401;

// Taylor series on |x| <= pi/4 as Horner schemes, x (1 - x^2/(2*3) (1 -
// x^2/(4*5) (...))) and 1 - x^2/(1*2) (1 - x^2/(3*4) (...)); the first
// term left out is below 2^-60. The two side by side, the cosine's
// first step alone: each step the same operations as on its own, two
// lanes of one register where the compiler has them.
Phasor cosineSineSeries(double x)
{
    const double x2 = x * x;
#if defined(__GNUC__)
    typedef double Lanes __attribute__((vector_size(16)));  // sine, cosine
    const Lanes square = {x2, x2}, one = {1.0, 1.0};
    Lanes sum = {1.0, 1.0 - x2 / (17 * 18) * 1.0};
    for (int k = 16; k >= 2; k -= 2) {
        const Lanes divisor = {static_cast<double>(k * (k + 1)), static_cast<double>((k - 1) * k)};
        sum = one - square / divisor * sum;
    }
    return {sum[1], x * sum[0]};
#else
    double sine = 1.0, cosine = 1.0 - x2 / (17 * 18) * 1.0;
    for (int k = 16; k >= 2; k -= 2) {
        sine = 1.0 - x2 / (k * (k + 1)) * sine;
        cosine = 1.0 - x2 / ((k - 1) * k) * cosine;
    }
    return {cosine, x * sine};
#endif
}

// atan(t) for |t| <= tan(pi/8), by its series.
double smallArcTangent(double t)
{
    const double t2 = t * t;
    double sum = 0.0;
    for (int k = 25; k >= 0; --k)
        sum = 1.0 / (2 * k + 1) - t2 * sum;
    return t * sum;
}

}  // namespace

double fractionOf(double value)
{
    return value - std::floor(value);
}

Phasor unitOfTurns(double turns)
{
    // Quarter turns to the nearest, and what is left within 1/8 turn.
    const double quarters = std::floor(turns * 4.0 + 0.5);
    const double x = (turns - quarters * 0.25) * kTwoPi;
    const auto [c, s] = cosineSineSeries(x);
    switch (static_cast<int>(quarters - 4.0 * std::floor(quarters * 0.25))) {
    case 0:
        return {c, s};
    case 1:
        return {-s, c};
    case 2:
        return {-c, -s};
    default:
        return {s, -c};
    }
}

double turnsOf(double y, double x)
{
    const double ax = std::fabs(x), ay = std::fabs(y);
    if (ax == 0.0 && ay == 0.0)
        return 0.0;
    const bool steep = ay > ax;
    const double t = steep ? ax / ay : ay / ax;  // 0 to 1
    // atan t = pi/4 + atan((t - 1) / (t + 1)) brings t near 1 within tan(pi/8).
    double angle = t > kTanEighthPi ? kQuarterPi + smallArcTangent((t - 1.0) / (t + 1.0)) : smallArcTangent(t);
    if (steep)
        angle = kHalfPi - angle;
    if (x < 0.0)
        angle = 2.0 * kHalfPi - angle;
    if (y < 0.0)
        angle = -angle;
    return angle / kTwoPi;
}

double decimalLog(double value)
{
    int exponent = 0;
    double mantissa = std::frexp(value, &exponent);  // exact: 0.5 to 1
    if (mantissa < kSqrtHalf) {
        mantissa *= 2.0;
        --exponent;
    }
    // ln m = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.172.
    const double s = (mantissa - 1.0) / (mantissa + 1.0);
    const double s2 = s * s;
    double sum = 0.0;
    for (int k = 14; k >= 0; --k)
        sum = 1.0 / (2 * k + 1) + s2 * sum;
    const double ln = 2.0 * s * sum + exponent * kLn2;
    return ln / kLn10;
}

}  // namespace tonalyx::detail::measurement
