// The measurement's first steps as they run while the file is read: each
// channel's boxcar fed a piece at a time, the channels found alike, and
// the pitch entries found frame by frame without the frames' powers kept.
// Each against the same work done whole, or against what the signals are.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "measure/analysis_track.h"
#include "measure/channel_tracks.h"
#include "measure/frame_peaks.h"
#include "measure/mains_hum.h"
#include "measure/pitch_entries.h"

using namespace tonalyx::detail::measurement;

namespace {

constexpr double kPi = 3.14159265358979323846;

// `channels` interleaved channels: a tone, hum and noise, each its own.
std::vector<float> signalOf(std::size_t frames, std::uint32_t channels, double rate, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<float> samples;
    for (std::size_t n = 0; n < frames; ++n)
        for (std::uint32_t c = 0; c < channels; ++c) {
            const double t = static_cast<double>(n) / rate;
            samples.push_back(static_cast<float>(0.3 * std::sin(2 * kPi * (440.0 + 20 * c) * t) +
                                                 0.2 * std::sin(2 * kPi * 50.0 * t) + 0.1 * std::sin(2 * kPi * 150.0 * t) +
                                                 noise(random)));
        }
    return samples;
}

}  // namespace

// A boxcar begun in one piece is finished in the next, in the same order:
// the track comes out the same to the bit, whatever the pieces.
TEST(MeasureStream, BoxcarsFedInPiecesAsWhole)
{
    const double rates[] = {8000, 22050, 44100, 48000, 56000, 96000};  // steps 1, 2, 5, 6, 7 (not unrolled), 12
    const std::size_t pieces[] = {1, 7, 1000, 4095};
    for (const double rate : rates)
        for (const std::uint32_t channels : {1u, 3u}) {
            const std::size_t frames = static_cast<std::size_t>(rate * 0.3) + 5;  // a partial boxcar at the end
            const std::vector<float> samples = signalOf(frames, channels, rate, 3);
            const Track last{samples.data() + channels - 1, channels, frames, rate};
            const AnalysisTrack whole = analysisTrackOf(last);
            EXPECT_EQ(whole.step, thinningStep(static_cast<std::uint32_t>(rate)));
            EXPECT_EQ(whole.samples.size(), frames / whole.step);
            for (const std::size_t piece : pieces) {
                Boxcar boxcar(rate, 0);
                for (std::size_t at = 0; at < frames; at += piece)
                    boxcar.add(samples.data() + at * channels + channels - 1, channels, std::min(piece, frames - at));
                const AnalysisTrack fed = std::move(boxcar).finish();
                EXPECT_EQ(fed.samples, whole.samples) << rate << " Hz, " << channels << " channels, pieces of " << piece;
            }
        }
}

// Which earlier channel each one repeats, when they part only late in the
// recording, in a later piece than the first.
TEST(MeasureStream, ChannelsAlikeToTheLastSample)
{
    const struct {
        std::vector<int> sources;  // the signal each channel carries
        std::vector<std::uint32_t> firstAlike;
    } rows[] = {
        {{0}, {0}},
        {{0, 0}, {0, 0}},
        {{0, 1}, {0, 1}},
        {{0, 1, 0, 2, 1}, {0, 1, 0, 3, 1}},
        {{2, 2, 2, 2, 2, 2, 2, 2}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    constexpr std::size_t kFrames = 6000, kPiece = 1000;
    for (const auto& row : rows) {
        const auto channels = static_cast<std::uint32_t>(row.sources.size());
        std::vector<float> samples(kFrames * channels);
        for (std::size_t n = 0; n < kFrames; ++n)
            for (std::uint32_t c = 0; c < channels; ++c)
                // Signals 1 and 2 are signal 0 but for one sample, past the first piece.
                samples[n * channels + c] = static_cast<float>(std::sin(0.01 * static_cast<double>(n))) +
                                            (n == 5500 + static_cast<std::size_t>(row.sources[c]) ? 0.5f * row.sources[c] : 0.0f);
        ChannelTracks tracks;
        tracks.start(channels, 8000, kFrames);
        for (std::size_t at = 0; at < kFrames; at += kPiece)
            tracks.take(samples.data() + at * channels, kPiece);
        for (std::uint32_t c = 0; c < channels; ++c)
            EXPECT_EQ(tracks.firstAlike(c), row.firstAlike[c]) << "channel " << c << " of " << channels;
    }
}

// Entries found as each frame is shown, its powers gone after, are those
// found from frames that kept their powers; the mains' peaks are marked
// before either looks at them.
TEST(MeasureStream, PitchEntriesFrameByFrameAsFromKeptFrames)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        const std::vector<float> samples = signalOf(8000 * 2, 1, 8000, seed);
        const AnalysisTrack track = analysisTrackOf(Track{samples.data(), 1, samples.size(), 8000});
        const SpectralFrames kept = spectralFramesOf(track);
        ASSERT_GT(kept.mainsHz, 49.0);
        ASSERT_EQ(kept.power.size(), kept.frames * (kept.size / 2 + 1));
        std::vector<PitchEntry> fromKept, shown;
        PitchEntryFinder keptFinder, shownFinder;
        for (std::size_t t = 0; t < kept.frames; ++t)
            keptFinder.add(kept, t, kept.peaks.data() + kept.firstPeak[t], kept.firstPeak[t + 1] - kept.firstPeak[t],
                           kept.powerOf(t), fromKept);
        std::size_t visits = 0;
        const SpectralFrames visited = spectralFramesOf(
            track, nullptr, [&](const SpectralFrames& frames, std::size_t t, const Peak* peaks, std::size_t count, const float* power) {
                EXPECT_EQ(t, visits++);
                EXPECT_EQ(frames.mainsHz, kept.mainsHz);
                shownFinder.add(frames, t, peaks, count, power, shown);
            });
        EXPECT_EQ(visits, kept.frames);
        EXPECT_TRUE(visited.power.empty());
        ASSERT_EQ(visited.peaks.size(), kept.peaks.size());
        std::size_t hum = 0;
        for (std::size_t i = 0; i < kept.peaks.size(); ++i) {
            EXPECT_EQ(visited.peaks[i].hum, kept.peaks[i].hum) << i;
            hum += kept.peaks[i].hum;
        }
        EXPECT_GT(hum, kept.frames);  // 50 Hz and 150 Hz in most frames
        ASSERT_EQ(shown.size(), fromKept.size());
        ASSERT_FALSE(shown.empty());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].frame, fromKept[i].frame) << i;
            EXPECT_EQ(shown[i].hz, fromKept[i].hz) << i;
            EXPECT_EQ(shown[i].bandPower, fromKept[i].bandPower) << i;
            EXPECT_EQ(shown[i].octaveNoise, fromKept[i].octaveNoise) << i;
            EXPECT_EQ(shown[i].harmonicPowers, fromKept[i].harmonicPowers) << i;
        }
    }
}
