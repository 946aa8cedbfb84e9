#include "measure/channel_tracks.h"

#include <utility>

namespace tonalyx::detail::measurement {

void ChannelTracks::start(std::uint32_t channels, std::uint32_t sampleRate, std::uint64_t expectedFrames)
{
    channels_ = channels;
    // Each made in place: a copy would not keep the room set aside.
    boxcars_.clear();
    boxcars_.reserve(channels);
    for (std::uint32_t c = 0; c < channels; ++c)
        boxcars_.emplace_back(static_cast<double>(sampleRate), expectedFrames);
    alike_.assign(static_cast<std::size_t>(channels) * channels, 1);
}

void ChannelTracks::take(const float* samples, std::size_t frames)
{
    for (std::uint32_t c = 0; c < channels_; ++c)
        boxcars_[c].add(samples + c, channels_, frames);
    for (std::uint32_t a = 0; a < channels_; ++a)
        for (std::uint32_t b = a + 1; b < channels_; ++b) {
            char& alike = alike_[static_cast<std::size_t>(a) * channels_ + b];
            for (std::size_t n = 0; alike && n < frames; ++n)
                alike = samples[n * channels_ + a] == samples[n * channels_ + b];
        }
}

std::uint32_t ChannelTracks::firstAlike(std::uint32_t c) const
{
    std::uint32_t a = 0;
    while (a < c && !alike_[static_cast<std::size_t>(a) * channels_ + c])
        ++a;
    return a;
}

AnalysisTrack ChannelTracks::trackOf(std::uint32_t c)
{
    return std::move(boxcars_[c]).finish();
}

}  // namespace tonalyx::detail::measurement
