// The measurement on synthetic recordings whose truth is known by
// construction: frequency, candidate, level, extent and channel, and which
// recordings hold no tone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "measure/measure_tone.h"

using tonalyx::Measurement;
using tonalyx::detail::recording::Recording;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A tone of `hz` from `lead` seconds for `seconds`, in channel `toneChannel`
// (1-based, 0 for all), over white noise `snr` dB below it (none at 200),
// with `hum` (50 Hz) and the second and third harmonic at the given
// amplitudes relative to the tone's, and a DC offset.
struct ToneCase {
    std::string name;
    double hz;
    double phase = 0.0;
    std::uint32_t rate = 44100, channels = 1, toneChannel = 0;
    double lead = 0.0, seconds = 1.0, tail = 0.0;
    double amplitude = 0.5, snr = 200.0, hum = 0.0, harmonics = 0.0, dc = 0.0;
    // Expected:
    std::uint32_t tone;
    std::uint32_t channel = 1;
    double hzTolerance = 0.01;
};

Recording recordingOf(const ToneCase& c, std::uint32_t seed = 1)
{
    Recording r;
    r.sampleRate = c.rate;
    r.channels = c.channels;
    const auto frames = static_cast<std::size_t>(std::lround((c.lead + c.seconds + c.tail) * c.rate));
    const double noise = c.amplitude / std::sqrt(2.0) * std::pow(10.0, -c.snr / 20.0);
    std::mt19937_64 random(seed);
    std::normal_distribution<double> normal(0.0, noise);
    r.samples.resize(frames * c.channels);
    for (std::size_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / c.rate;
        for (std::uint32_t ch = 0; ch < c.channels; ++ch) {
            double v = c.dc + normal(random) + c.hum * c.amplitude * std::sin(2 * kPi * 50.0 * t + 1.0);
            const bool here = c.toneChannel == 0 || c.toneChannel == ch + 1;
            if (here && t >= c.lead && t < c.lead + c.seconds) {
                const double x = 2 * kPi * c.hz * (t - c.lead) + c.phase;
                v += c.amplitude * (std::sin(x) + c.harmonics * (std::sin(2 * x + 0.3) + std::sin(3 * x + 0.7)));
            }
            r.samples[n * c.channels + ch] = static_cast<float>(v);
        }
    }
    return r;
}

Measurement measured(const Recording& recording)
{
    Measurement m;
    tonalyx::detail::measurement::measureTone(recording, {}, m);
    return m;
}

}  // namespace

TEST(MeasureTone, TonesGiveTheirCandidateFrequencyLevelAndExtent)
{
    const ToneCase cases[] = {
        {.name = "phase 0", .hz = 440.0, .tone = 440},
        {.name = "phase 90", .hz = 440.0, .phase = kPi / 2, .tone = 440},
        {.name = "phase 180", .hz = 440.0, .phase = kPi, .tone = 440},
        {.name = "phase 270", .hz = 440.0, .phase = 3 * kPi / 2, .tone = 440},
        {.name = "lead-in and tail", .hz = 440.0, .lead = 0.3, .seconds = 1.0, .tail = 0.4, .tone = 440},
        {.name = "4 Hz below", .hz = 436.0, .tone = 440},
        {.name = "4 Hz above", .hz = 444.0, .tone = 440},
        {.name = "lowest candidate, 4 below", .hz = 96.0, .tone = 100},
        {.name = "highest candidate, 4 above", .hz = 1004.0, .tone = 1000},
        {.name = "halfway up to the next", .hz = 609.0, .tone = 600},
        {.name = "stereo, tone in channel 2", .hz = 260.0, .channels = 2, .toneChannel = 2, .snr = 40.0,
         .tone = 260, .channel = 2},
        {.name = "stereo, tone in both", .hz = 260.0, .channels = 2, .toneChannel = 0, .tone = 260, .channel = 1},
        {.name = "harmonics at -20 dB", .hz = 300.0, .harmonics = 0.1, .tone = 300},
        {.name = "mains hum at -20 dB, lowest candidate", .hz = 100.0, .hum = 0.1, .tone = 100},
        {.name = "noise at 20 dB", .hz = 720.0, .snr = 20.0, .tone = 720, .hzTolerance = 0.05},
        {.name = "noise at 12 dB, short", .hz = 520.0, .seconds = 0.25, .snr = 12.0, .tone = 520,
         .hzTolerance = 0.2},
        {.name = "DC offset", .hz = 880.0, .dc = 0.2, .tone = 880},
        {.name = "8 kHz", .hz = 980.0, .rate = 8000, .tone = 980},
        {.name = "96 kHz, quiet", .hz = 140.0, .rate = 96000, .amplitude = 0.001, .snr = 40.0, .tone = 140},
        {.name = "5 s", .hz = 333.0, .rate = 22050, .seconds = 5.0, .snr = 30.0, .tone = 340},
    };
    for (const ToneCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Measurement m = measured(recordingOf(c));
        EXPECT_TRUE(m.hasTone);
        EXPECT_EQ(m.tone, c.tone);
        EXPECT_NEAR(m.measured, c.hz, c.hzTolerance);
        EXPECT_EQ(m.channel, c.channel);
        // The level of a sine of amplitude A is 20 log10 A dBFS.
        EXPECT_NEAR(m.level, 20.0 * std::log10(c.amplitude), 0.2);
        // The extent to 1 ms.
        EXPECT_NEAR(m.start, c.lead, 0.0015);
        EXPECT_NEAR(m.end, c.lead + c.seconds, 0.0015);
        EXPECT_EQ(m.bursts, 1u);
        // White noise at a given SNR leaves the tone 1 / (1 + 10^(-SNR/10))
        // of the power over the whole band, and more of its own band;
        // harmonics and hum are no impurity.
        EXPECT_GE(m.purity, 1.0 / (1.0 + std::pow(10.0, -c.snr / 10.0)) - 0.01);
    }
}

TEST(MeasureTone, PrecisionOfOneSecondAt30Decibels)
{
    // The goal for tones of 1 s or more at 30 dB: within 0.1 Hz, over many
    // noise draws, frequencies and rates.
    const std::uint32_t rates[] = {8000, 11025, 44100, 48000, 96000};
    for (int i = 0; i < 10; ++i) {
        const double hz = 100.0 + 97.3 * i;
        const ToneCase c{.name = "", .hz = hz, .phase = 0.7 * i, .rate = rates[i % 5], .snr = 30.0, .tone = 0};
        const Measurement m = measured(recordingOf(c, 100 + i));
        EXPECT_NEAR(m.measured, hz, 0.1) << hz << " Hz at " << c.rate;
    }
}

TEST(MeasureTone, NoToneIsFlagged)
{
    const double rate = 16000;
    const struct {
        std::string name;
        std::function<double(double t, std::mt19937_64& random)> signal;
        double seconds;
    } cases[] = {
        {"digital silence", [](double, std::mt19937_64&) { return 0.0; }, 1.0},
        {"dither of one 16-bit step",
         [](double, std::mt19937_64& r) { return (std::uniform_real_distribution<double>(-1, 1)(r)) / 32768; }, 2.0},
        {"white noise", [](double, std::mt19937_64& r) { return std::normal_distribution<double>(0, 0.1)(r); }, 2.0},
        {"sweep 200 to 900 Hz", [](double t, std::mt19937_64&) { return 0.5 * std::sin(2 * kPi * (200 * t + 175 * t * t)); },
         2.0},
        {"two tones of equal strength",
         [](double t, std::mt19937_64&) { return 0.3 * std::sin(2 * kPi * 300 * t) + 0.3 * std::sin(2 * kPi * 700 * t); },
         1.0},
        {"a clean tone above the candidates",
         [](double t, std::mt19937_64&) { return 0.5 * std::sin(2 * kPi * 1500 * t); }, 1.0},
        {"a click of 20 ms", [](double t, std::mt19937_64&) { return t > 0.5 && t < 0.52 ? 0.5 * std::sin(2 * kPi * 440 * t) : 0.0; },
         1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recording r;
        r.sampleRate = static_cast<std::uint32_t>(rate);
        r.channels = 1;
        std::mt19937_64 random(5);
        for (int n = 0; n < c.seconds * rate; ++n)
            r.samples.push_back(static_cast<float>(c.signal(n / rate, random)));
        const Measurement m = measured(r);
        EXPECT_FALSE(m.hasTone);
        EXPECT_EQ(m.tone, 0u);
    }
}

TEST(MeasureTone, PurityAndMeasuredTellWhyThereIsNoTone)
{
    Recording r;
    r.sampleRate = 8000;
    r.channels = 1;
    for (int n = 0; n < 8000; ++n)
        r.samples.push_back(static_cast<float>(0.5 * std::sin(2 * kPi * 1500 * n / 8000.0)));
    Measurement m = measured(r);
    EXPECT_NEAR(m.measured, 1500.0, 0.01);  // pure, but not a candidate
    EXPECT_GT(m.purity, 0.99);

    for (float& s : r.samples)
        s = 0.0f;
    m = measured(r);
    EXPECT_EQ(m.purity, 0.0);
    EXPECT_EQ(m.level, tonalyx::detail::measurement::kSilentLevel);
}

TEST(MeasureTone, EmptyRecordingsGiveZeros)
{
    Recording none;  // no channels, no rate
    Measurement m = measured(none);
    EXPECT_FALSE(m.hasTone);
    EXPECT_EQ(m.channel, 0u);
    Recording tiny;
    tiny.sampleRate = 44100;
    tiny.channels = 2;
    tiny.samples = {0.5f, -0.5f, 0.25f, 0.0f, -0.5f, 0.5f};  // three frames
    m = measured(tiny);
    EXPECT_FALSE(m.hasTone);
    EXPECT_EQ(m.end <= 3.0 / 44100, true);
}

TEST(MeasureTone, CandidateWithinTenHertzTheHigherOfTwo)
{
    const struct {
        double hz;
        std::uint32_t candidate;
    } cases[] = {
        {440.0, 440},  {430.0, 440},   {429.99, 420},  {110.0, 120},  {109.99, 100}, {90.0, 100},
        {89.99, 0},    {1010.0, 1000}, {1010.01, 0},   {0.0, 0},      {-440.0, 0},   {130.0, 140},
        {1e9, 0},      {NAN, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tonalyx::detail::measurement::candidateNear(c.hz), c.candidate) << c.hz;
}

TEST(MeasureTone, AnyRecordingGivesFiniteNumbersInRange)
{
    // Odd rates, 1 to 8 channels, a handful of frames to a few thousand,
    // values up to the float range: no crash, nothing infinite or NaN.
    std::mt19937_64 random(29);
    const std::uint32_t rates[] = {1, 7, 100, 8000, 44100, 768000};
    const float scales[] = {0.0f, 1e-30f, 1.0f, 3e38f};
    for (int i = 0; i < 300; ++i) {
        Recording r;
        r.sampleRate = rates[i % 6];
        r.channels = 1 + static_cast<std::uint32_t>(random() % 8);
        const std::size_t frames = random() % (i % 3 == 0 ? 20 : 3000);
        const float scale = scales[(i / 6) % 4];
        std::uniform_real_distribution<float> within(-1.0f, 1.0f);
        for (std::size_t n = 0; n < frames * r.channels; ++n)
            r.samples.push_back(scale * within(random));
        const Measurement m = measured(r);
        ASSERT_TRUE(std::isfinite(m.measured) && m.measured >= 0.0) << i;
        ASSERT_TRUE(m.purity >= 0.0 && m.purity <= 1.0) << i;
        ASSERT_TRUE(std::isfinite(m.level)) << i;
        ASSERT_TRUE(m.start >= 0.0 && m.start <= m.end && m.end <= static_cast<double>(frames) / r.sampleRate) << i;
        ASSERT_TRUE(m.channel >= 1 && m.channel <= r.channels) << i;
        ASSERT_EQ(m.hasTone, m.tone != 0) << i;
    }
}

TEST(MeasureTone, RunsOnManyThreadsAtOnceGiveTheSameBits)
{
    const ToneCase c{.name = "", .hz = 523.0, .rate = 48000, .channels = 2, .toneChannel = 2, .snr = 25.0,
                     .tone = 520};
    const Recording r = recordingOf(c);
    const Measurement alone = measured(r);
    std::vector<Measurement> results(4);
    std::vector<std::thread> threads;
    for (Measurement& m : results)
        threads.emplace_back([&r, &m] { tonalyx::detail::measurement::measureTone(r, {}, m); });
    for (std::thread& t : threads)
        t.join();
    for (const Measurement& m : results) {
        EXPECT_EQ(std::memcmp(&m.measured, &alone.measured, sizeof(double)), 0);
        EXPECT_EQ(std::memcmp(&m.purity, &alone.purity, sizeof(double)), 0);
        EXPECT_EQ(std::memcmp(&m.level, &alone.level, sizeof(double)), 0);
    }
}
