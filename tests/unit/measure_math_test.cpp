// The measurement's own sine, arc tangent, logarithm, Fourier transform,
// Hann window and demodulation against the C library's (long double where
// it has it) and against plain sums.
#include <gtest/gtest.h>

#include <cmath>
#include <bit>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

#include "measure/demodulation.h"
#include "measure/exact_math.h"
#include "measure/fourier.h"

using namespace tonalyx::detail::measurement;

namespace {

constexpr long double kTwoPiL = 6.283185307179586476925286766559L;

}  // namespace

TEST(MeasureMath, UnitOfTurnsAgainstLongDouble)
{
    // Quarter points, an eighth (the end of the series' range), beyond one
    // turn, negative and large turns.
    const double turns[] = {0.0, 0.25, 0.5, 0.75, 1.0, -0.25, 0.125, 0.124999, 0.375, 1.3, -2.7,
                            1e-9, 12345.678, -0.0625, 0.999999999};
    for (const double t : turns) {
        const Phasor u = unitOfTurns(t);
        const long double angle = kTwoPiL * static_cast<long double>(t);
        EXPECT_NEAR(u.re, static_cast<double>(cosl(angle)), 2e-16 * (1 + std::fabs(t))) << t;
        EXPECT_NEAR(u.im, static_cast<double>(sinl(angle)), 2e-16 * (1 + std::fabs(t))) << t;
    }
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> within(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        const double t = within(random);
        const Phasor u = unitOfTurns(t);
        ASSERT_NEAR(u.re, static_cast<double>(cosl(kTwoPiL * t)), 3e-16) << t;
        ASSERT_NEAR(u.im, static_cast<double>(sinl(kTwoPiL * t)), 3e-16) << t;
    }
}

TEST(MeasureMath, UnitOfTurnsToTheBit)
{
    // The series' Horner steps one after the other, worked out apart in
    // IEEE doubles: the same bits wherever the two series share a register.
    const struct {
        double turns, re, im;
    } cases[] = {
        {0.1, 0x1.9e3779b97f4a8p-1, 0x1.2cf2304755a5ep-1},
        {0.124999, 0x1.6a0a7b7be7f26p-1, 0x1.6a095153c2243p-1},
        {-0.3, -0x1.3c6ef372fe94ep-2, -0x1.e6f0e13445500p-1},
        {0.7071, -0x1.10b001a51b036p-2, -0x1.ed83254e8b712p-1},
        {12345.678, -0x1.bf9b468956943p-2, -0x1.cc7ed85aa7580p-1},
        {1e-05, 0x1.ffffffef0b4d5p-1, 0x1.078930401bce0p-14},
    };
    for (const auto& c : cases) {
        const Phasor u = unitOfTurns(c.turns);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(u.re), std::bit_cast<std::uint64_t>(c.re)) << c.turns;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(u.im), std::bit_cast<std::uint64_t>(c.im)) << c.turns;
    }
}

TEST(MeasureMath, TurnsOfAgainstAtan2)
{
    const double points[][2] = {{0, 1},  {1, 0},   {1, 1},   {-1, 1},   {-1, -1}, {1, -1},  {0, -1},
                                {-1, 0}, {1e-300, 1}, {3, 4}, {4, 3},    {-2, 7},  {0.41, 1}, {0.42, 1},
                                {1, 0.41}, {-5, -0.001}};
    for (const auto& p : points)
        EXPECT_NEAR(turnsOf(p[0], p[1]), static_cast<double>(atan2l(p[0], p[1]) / kTwoPiL), 1e-16)
            << p[0] << "," << p[1];
    EXPECT_EQ(turnsOf(0.0, 0.0), 0.0);
    EXPECT_EQ(turnsOf(0.0, -1.0), 0.5);  // the negative axis is half a turn, not minus half
    std::mt19937_64 random(11);
    std::normal_distribution<double> normal;
    for (int i = 0; i < 20000; ++i) {
        const double y = normal(random), x = normal(random);
        ASSERT_NEAR(turnsOf(y, x), static_cast<double>(atan2l(y, x) / kTwoPiL), 1e-16) << y << "," << x;
    }
}

TEST(MeasureMath, DecimalLogAgainstLongDouble)
{
    const double values[] = {1.0, 10.0, 0.1, 2.0, 0.5, 0.7071, 0.7072, 1.41421, 1e-300, 1e300,
                             4.9e-324, 0.999999, 1.000001, 3.0, 1234.5};
    for (const double v : values)
        EXPECT_NEAR(decimalLog(v), static_cast<double>(log10l(v)), 4e-16 * (1 + std::fabs(std::log10(v)))) << v;
    EXPECT_EQ(decimalLog(1.0), 0.0);
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> exponent(-30.0, 30.0);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, exponent(random));
        ASSERT_NEAR(decimalLog(v), static_cast<double>(log10l(v)), 2e-14) << v;
    }
}

TEST(MeasureMath, FourierTransformAgainstPlainSums)
{
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> within(-1.0, 1.0);
    for (const std::size_t n : {1u, 2u, 4u, 8u, 16u, 64u, 256u, 2048u}) {
        std::vector<Phasor> data(n);
        for (Phasor& p : data)
            p = {within(random), within(random)};
        std::vector<Phasor> transformed = data;
        fourierTransform(transformed);
        for (std::size_t k = 0; k < n; k += (n > 64 ? 37 : 1)) {
            std::complex<long double> sum = 0;
            for (std::size_t j = 0; j < n; ++j)
                sum += std::complex<long double>(data[j].re, data[j].im) *
                       std::polar(1.0L, -kTwoPiL * static_cast<long double>((k * j) % n) / n);
            ASSERT_NEAR(transformed[k].re, static_cast<double>(sum.real()), 1e-13 * n) << n << " " << k;
            ASSERT_NEAR(transformed[k].im, static_cast<double>(sum.imag()), 1e-13 * n) << n << " " << k;
        }
    }
}

// Values made as the transform takes them go through the same operations
// as values laid out first: the same bits.
TEST(MeasureMath, FourierTransformOfValuesAsMadeSameBits)
{
    std::mt19937_64 random(19);
    std::uniform_real_distribution<double> within(-1.0, 1.0);
    for (const std::size_t n : {4u, 8u, 16u, 32u, 512u}) {
        std::vector<double> re(n), im(n), madeRe(n), madeIm(n);
        for (std::size_t j = 0; j < n; ++j) {
            re[j] = within(random);
            im[j] = within(random);
        }
        const std::vector<double> x = re, y = im;
        const FourierPlan& plan = planOf(n);
        plan.transform(re.data(), im.data());
        plan.transformOf([&](std::size_t j) { return Phasor{x[j], y[j]}; }, madeRe.data(), madeIm.data());
        for (std::size_t k = 0; k < n; ++k) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(madeRe[k]), std::bit_cast<std::uint64_t>(re[k])) << n << " " << k;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(madeIm[k]), std::bit_cast<std::uint64_t>(im[k])) << n << " " << k;
        }
    }
}

TEST(MeasureMath, HannWindowAgainstItsFormula)
{
    // Powers of two and the sizes of windows of seconds (0.2 s at 8 kHz, ...).
    for (const std::size_t n : {1u, 2u, 4u, 8u, 16u, 256u, 4096u, 1000u, 1600u, 9600u}) {
        const std::vector<double> window = hannWindow(n);
        ASSERT_EQ(window.size(), n);
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_NEAR(window[k], static_cast<double>(0.5L - 0.5L * cosl(kTwoPiL * k / n)), 2e-16) << n << " " << k;
    }
}

TEST(MeasureMath, DemodulationAgainstPlainSums)
{
    // Two interleaved channels; spans shorter than, equal to and longer than
    // one run of the phase table, at odd starts, with and without weights.
    std::mt19937_64 random(19);
    std::uniform_real_distribution<double> within(-1.0, 1.0);
    std::vector<float> samples(2 * 3000);
    for (float& s : samples)
        s = static_cast<float>(within(random));
    const Track track{samples.data() + 1, 2, 3000, 8000.0};
    std::vector<double> weights(3000);
    for (double& w : weights)
        w = within(random);
    const struct {
        Span span;
        double cycles, offset;
        bool weighted;
    } cases[] = {
        {{0, 1}, 0.1, 0.0, false},      {{5, 133}, 0.0123, 0.25, false}, {{7, 135}, 0.37, -0.1, true},
        {{100, 2999}, 0.05501, 0.0, true}, {{0, 3000}, 0.4999, 0.01, false},
    };
    for (const auto& c : cases) {
        const Phasor z = demodulate(track, c.span, c.cycles, c.offset, c.weighted ? weights.data() : nullptr);
        std::complex<long double> sum = 0;
        for (std::uint64_t n = c.span.begin; n < c.span.end; ++n) {
            const long double w = c.weighted ? weights[n - c.span.begin] : 1.0L;
            sum += w * (static_cast<long double>(samples[2 * n + 1]) - c.offset) *
                   std::polar(1.0L, -kTwoPiL * c.cycles * static_cast<long double>(n));
        }
        // The phase of frame n is cycles x n rounded to a double: 1e-13
        // of a turn at n = 3000, on sums up to some 50.
        EXPECT_NEAR(z.re, static_cast<double>(sum.real()), 1e-10) << c.span.begin << "-" << c.span.end;
        EXPECT_NEAR(z.im, static_cast<double>(sum.imag()), 1e-10) << c.span.begin << "-" << c.span.end;
    }
}

TEST(MeasureMath, ThinningStepOfARate)
{
    const struct {
        std::uint32_t rate, step;
    } steps[] = {{8000, 1}, {11025, 1}, {15999, 1}, {16000, 2}, {22050, 2}, {44100, 5}, {48000, 6}, {96000, 12}};
    for (const auto& s : steps)
        EXPECT_EQ(thinningStep(s.rate), s.step) << s.rate;
}
