// The channels' analysis tracks, built as the recording is read, and which
// channels repeat an earlier one: what the measurement needs of every
// frame, so that the frames themselves need not be held.
#pragma once

#include <cstdint>
#include <vector>

#include "measure/analysis_track.h"
#include "recording/recording.h"

namespace tonalyx::detail::measurement {

class ChannelTracks final : public recording::SampleSink {
public:
    void start(std::uint32_t channels, std::uint32_t sampleRate, std::uint64_t expectedFrames) override;
    void take(const float* samples, std::size_t frames) override;

    // The first channel whose every sample equals channel `c`'s (c itself
    // when none before it does).
    std::uint32_t firstAlike(std::uint32_t c) const;
    // Channel `c`'s analysis track; once for each channel.
    AnalysisTrack trackOf(std::uint32_t c);

private:
    std::uint32_t channels_ = 0;
    std::vector<Boxcar> boxcars_;
    // alike_[a * channels_ + b], a < b: channels a and b equal so far.
    std::vector<char> alike_;
};

}  // namespace tonalyx::detail::measurement
