// The measurement on the kinds of signal a bench records, each made here
// from its definition: what each must give (tone or reason, bursts, THD
// and drift against their values by construction), and what must never
// be a tone.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "measure/measure_tone.h"

using tonalyx::Measurement;
using tonalyx::NoToneReason;
using tonalyx::detail::recording::Recording;

namespace {

constexpr double kPi = 3.14159265358979323846;
using Signal = std::function<double(double t)>;

double sine(double hz, double t, double phase = 0.0)
{
    return std::sin(2 * kPi * hz * t + phase);
}

// Noise of a fixed seed: white, or pink and brown by filtering it.
Signal noise(double rms, int colour, unsigned seed)
{
    auto random = std::make_shared<std::mt19937_64>(seed);
    auto state = std::make_shared<std::vector<double>>(7, 0.0);
    return [=](double) {
        const double w = std::normal_distribution<double>(0.0, 1.0)(*random);
        std::vector<double>& b = *state;
        if (colour == 0)
            return rms * w;
        if (colour == 2) {  // brown: a leaky sum
            b[0] = 0.998 * b[0] + w;
            return rms * b[0] / 16.0;
        }
        // pink: sums of one-pole filters at spread corners
        b[0] = 0.99886 * b[0] + w * 0.0555179;
        b[1] = 0.99332 * b[1] + w * 0.0750759;
        b[2] = 0.96900 * b[2] + w * 0.1538520;
        b[3] = 0.86650 * b[3] + w * 0.3104856;
        b[4] = 0.55000 * b[4] + w * 0.5329522;
        return rms * (b[0] + b[1] + b[2] + b[3] + b[4] + w * 0.5362) / 3.0;
    };
}

Measurement measureSignal(const Signal& signal, double seconds, std::uint32_t rate = 48000, bool floats = false)
{
    Recording r;
    r.sampleRate = rate;
    r.channels = 1;
    const auto frames = static_cast<std::size_t>(seconds * rate);
    for (std::size_t n = 0; n < frames; ++n) {
        const double v = signal(static_cast<double>(n) / rate);
        // As a 16-bit recorder keeps it, or as a float file does.
        r.samples.push_back(static_cast<float>(floats ? v : std::round(std::clamp(v, -1.0, 1.0) * 32767) / 32768));
    }
    Measurement m;
    tonalyx::detail::measurement::measureTone(r, {}, m);
    return m;
}

// THD in percent of a periodic signal, from a direct DFT of one period.
double thdOf(const std::function<double(double phase)>& period)
{
    const int n = 4096;
    double fundamental = 0.0, rest = 0.0;
    for (int k = 1; k < 200; ++k) {
        double re = 0.0, im = 0.0;
        for (int i = 0; i < n; ++i) {
            const double x = period(2 * kPi * i / n);
            re += x * std::cos(2 * kPi * k * i / n);
            im += x * std::sin(2 * kPi * k * i / n);
        }
        (k == 1 ? fundamental : rest) += re * re + im * im;
    }
    return 100.0 * std::sqrt(rest / fundamental);
}

struct Kind {
    std::string name;
    Signal signal;
    double seconds = 1.0;
    std::uint32_t tone = 440;
    std::uint32_t bursts = 1;
    std::optional<double> thd, drift;
};

// Harmonics up to half of 48 kHz, amplitude by number.
double additive(double hz, double t, const std::function<double(int)>& amplitude)
{
    double v = 0.0;
    for (int k = 1; k * hz < 24000.0; ++k)
        v += amplitude(k) * sine(k * hz, t);
    return v;
}

}  // namespace

TEST(MeasureKinds, EveryKindOfToneGivesItsFundamental)
{
    const auto saw = [](int k) { return 1.0 / k; };
    const auto square = [](int k) { return k % 2 ? 1.0 / k : 0.0; };
    const auto triangle = [](int k) { return k % 2 ? ((k / 2) % 2 ? -1.0 : 1.0) / (k * k) : 0.0; };
    const auto thdOfSeries = [](const std::function<double(int)>& a, double hz) {
        double rest = 0.0;
        for (int k = 2; k * hz < 24000.0; ++k)
            rest += a(k) * a(k);
        return 100.0 * std::sqrt(rest) / a(1);
    };
    const Signal pink = noise(0.2 / std::sqrt(2.0), 1, 3), brown = noise(0.2 / std::sqrt(2.0), 2, 4),
                 white = noise(0.2 / std::sqrt(2.0), 0, 5), hiss = noise(0.003, 0, 6);
    const Kind kinds[] = {
        {"buzzer, 2nd harmonic +6 dB", [](double t) { return 0.15 * sine(440, t) + 0.3 * sine(880, t); }, 1, 440, 1, 200.0},
        {"buzzer, 3rd harmonic +12 dB", [](double t) { return 0.05 * sine(300, t) + 0.2 * sine(900, t, 1); }, 1, 300, 1, 400.0},
        {"sawtooth", [=](double t) { return 0.3 * additive(440, t, saw); }, 1, 440, 1, thdOfSeries(saw, 440)},
        {"square", [=](double t) { return 0.3 * additive(440, t, square); }, 1, 440, 1, thdOfSeries(square, 440)},
        {"triangle", [=](double t) { return 0.5 * additive(220, t, triangle); }, 1, 220, 1, thdOfSeries(triangle, 220)},
        {"clipped at 50 %", [](double t) { return 0.8 * std::clamp(sine(500, t), -0.5, 0.5); }, 1, 500, 1,
         thdOf([](double p) { return std::clamp(std::sin(p), -0.5, 0.5); })},
        {"clipped at 20 %", [](double t) { return 0.8 * std::clamp(sine(200, t), -0.2, 0.2); }, 1, 200, 1,
         thdOf([](double p) { return std::clamp(std::sin(p), -0.2, 0.2); })},
        {"hum +12 dB with harmonics", [](double t) {
             return 0.05 * sine(440, t) + 0.2 * sine(50, t) + 0.08 * sine(100, t, 1) + 0.06 * sine(150, t, 2) + 0.03 * sine(250, t);
         }},
        {"a tone 22 Hz beside a hum harmonic +10 dB", [](double t) {
             return 0.05 * sine(222.5, t) + 0.15 * sine(49.98, t) + 0.15 * sine(199.92, t, 1) + 0.1 * sine(249.9, t, 2);
         }, 1.3, 220},
        {"a short tone whose third lies 2 Hz off a hum harmonic", [](double t) {
             return (t > 0.43 && t < 1.04 ? 0.03 * sine(442.96, t) : 0.0) +
                    0.05 * (sine(49.99, t) + sine(99.97, t, 1) + sine(149.96, t, 2));
         }, 1.4, 440},
        {"60 Hz hum +12 dB", [](double t) { return 0.05 * sine(700, t) + 0.2 * sine(60, t) + 0.05 * sine(180, t); }, 1, 700},
        {"rumble +10 dB and DC", [](double t) { return 0.2 + 0.05 * sine(440, t) + 0.16 * sine(13, t) + 0.1 * sine(21, t); }},
        {"white noise 0 dB", [=](double t) { return 0.2 * sine(440, t) + white(t); }},
        {"pink noise 0 dB", [=](double t) { return 0.2 * sine(440, t) + pink(t); }},
        {"brown noise 0 dB", [=](double t) { return 0.2 * sine(440, t) + brown(t); }},
        {"an 81 Hz tone 11 dB down, the tone near its 9th", [](double t) { return 0.5 * sine(737, t) + 0.14 * sine(80.93, t); }, 1, 740},
        {"second tone 6 dB down", [](double t) { return 0.2 * sine(640, t) + 0.1 * sine(577, t); }, 1, 640},
        {"beeps", [](double t) { return std::fmod(t, 0.2) < 0.1 ? 0.3 * sine(440, t, 1.7 * std::floor(t / 0.2)) : 0.0; }, 2, 440, 10,
         0.0, 0.0},
        {"beeps of 80 ms, gaps of 50 ms", [](double t) { return std::fmod(t, 0.13) < 0.08 ? 0.3 * sine(820, t) : 0.0; }, 1, 820, 8},
        {"phase jump of 65 degrees", [](double t) { return 0.3 * sine(600, t, t < 0.5 ? 0.0 : 65 * kPi / 180); }, 1, 600},
        {"dropout of 20 ms", [](double t) { return t > 0.5 && t < 0.52 ? 0.0 : 0.3 * sine(600, t); }, 1, 600, 2},
        {"37 samples deleted", [](double t) { return 0.3 * sine(600, t < 0.5 ? t : t + 37 / 48000.0); }, 1, 600},
        {"pop 20 dB over", [=](double t) { return 0.03 * sine(440, t) + (t > 0.7 && t < 0.705 ? 10 * hiss(t) / 0.003 * 0.05 : 0.0); },
         1.5},
        {"glide 439 to 441 Hz", [](double t) { return 0.3 * std::sin(2 * kPi * (439 * t + 0.5 * t * t)); }, 2, 440, 1, 0.0, 2.0},
        {"vibrato 0.5 %, 0.5 Hz", [](double t) { return 0.3 * std::sin(2 * kPi * 1000 * t - 5.0 / 0.5 * std::cos(kPi * t)); },
         4, 1000, 1, 0.0, 10.0},
        {"speech-like lead-in, then the tone", [=](double t) {
             return t < 1 ? 0.5 * sine(150 + 60 * t, t) * sine(3, t) + 0.3 * sine(800 - 200 * t, t) : 0.3 * sine(440, t);
         }, 3},
        {"660 Hz for 0.5 s, then 440 Hz for 2 s", [](double t) { return 0.3 * sine(t < 0.5 ? 660 : 440, t); }, 2.5},
        {"0.1 s with 5 ms ramps", [](double t) {
             const double u = t - 0.337;
             return u < 0 || u > 0.1 ? 0.0 : 0.3 * std::min({1.0, u / 0.005, (0.1 - u) / 0.005}) * sine(440, t);
         }},
        {"a buzzer that beeps in a humming room", [=](double t) {
             const double on = std::fmod(t, 0.3) < 0.15 ? 1.0 : 0.0;
             return on * (0.05 * sine(520, t) + 0.1 * sine(1040, t)) + 0.2 * sine(50, t) + white(t) / 20;
         }, 1.5, 520, 5},
        {"a beeping buzzer's weak fundamental 12 Hz under a hum harmonic", [=](double t) {
             const double on = std::fmod(t, 0.7) < 0.2 ? 1.0 : 0.0;
             return on * (0.02 * sine(238, t) + 0.08 * sine(714, t)) + 0.1 * sine(50, t) + 0.03 * sine(250, t) + white(t) / 20;
         }, 3.5, 240, 5},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        const Measurement m = measureSignal(k.signal, k.seconds);
        EXPECT_TRUE(m.hasTone) << tonalyx::measurementLine(m);
        EXPECT_EQ(m.tone, k.tone);
        EXPECT_NEAR(m.bursts, k.bursts, 1.0);
        if (k.thd) {
            EXPECT_NEAR(m.thd, *k.thd, 2.0);
        }
        if (k.drift) {
            EXPECT_NEAR(m.drift, *k.drift, 0.1);
        }
    }
}

TEST(MeasureKinds, WhatIsNoToneStaysNone)
{
    const Signal white = noise(0.1, 0, 7), pink = noise(0.1, 1, 8), brown = noise(0.1, 2, 9);
    std::mt19937_64 random(10);
    const struct {
        std::string name;
        Signal signal;
        std::optional<NoToneReason> reason;
        bool floats = false;
    } cases[] = {
        {"digital silence", [](double) { return 0.0; }, NoToneReason::silent},
        {"dithered silence", [&](double) { return std::uniform_real_distribution<double>(-1, 1)(random) / 32768; }, {}},
        {"white noise", white, NoToneReason::impure},
        {"pink noise", pink, {}},
        {"brown noise", brown, {}},
        {"linear sweep", [](double t) { return 0.3 * std::sin(2 * kPi * (100 * t + 225 * t * t)); }, {}},
        {"log sweep", [](double t) { return 0.3 * std::sin(2 * kPi * 100 / std::log(10.0) * (std::pow(10.0, t / 2) - 1) * 2); }, {}},
        {"clicks", [](double t) { return std::fmod(t, 0.1) < 1 / 48000.0 ? 0.8 : 0.0; }, {}},
        {"50 Hz mains", [](double t) { return 0.3 * sine(50, t); }, NoToneReason::hum},
        {"60 Hz mains with harmonics", [](double t) { return 0.3 * sine(60, t) + 0.1 * sine(120, t) + 0.1 * sine(180, t); },
         NoToneReason::hum},
        {"50 Hz mains and its 3rd", [](double t) { return 0.3 * sine(50, t) + 0.1 * sine(150, t); }, NoToneReason::hum},
        {"80 Hz", [](double t) { return 0.3 * sine(80, t); }, NoToneReason::offBand},
        {"1500 Hz", [](double t) { return 0.3 * sine(1500, t); }, NoToneReason::offBand},
        {"440 and 577 Hz alike", [](double t) { return 0.2 * sine(440, t) + 0.2 * sine(577, t); }, NoToneReason::several},
        {"726 and 753 Hz alike, beating", [](double t) { return 0.2 * sine(726, t) + 0.2 * sine(753, t); }, NoToneReason::several},
        {"440 Hz at -600 dBFS", [](double t) { return 1e-30 * sine(440, t); }, NoToneReason::silent, true},
        {"a tone of 50 ms", [](double t) { return t > 0.4 && t < 0.45 ? 0.3 * sine(440, t) : 0.0; }, NoToneReason::shortTone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Measurement m = measureSignal(c.signal, 2.0, 48000, c.floats);
        EXPECT_FALSE(m.hasTone) << tonalyx::measurementLine(m);
        if (c.reason) {
            EXPECT_EQ(m.reason, *c.reason) << tonalyx::measurementLine(m);
        }
    }
}

// A peak of a faint noise floor may group by chance (this seed does, at this
// rate and length): it does not stand over its own band, so it is no tone.
TEST(MeasureKinds, HumOverAFaintFloorStaysHum)
{
    const Signal floor = noise(0.1 / 4000, 0, 36);
    const Measurement m = measureSignal(
        [=](double t) { return 0.02 * (sine(50.08, t) + sine(200.3, t)) + 0.01 * sine(250.4, t) + floor(t); }, 1.44, 16000, true);
    EXPECT_FALSE(m.hasTone) << tonalyx::measurementLine(m);
    EXPECT_EQ(m.reason, NoToneReason::hum);
}
