// The frames of a data chunk read again, a stretch at a time, from a
// source that can seek: the measurement looks closely at a few stretches
// of a recording, and holding all of it decoded would cost far more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "api/api.h"
#include "recording/sample_format.h"

namespace tonalyx::detail::recording {

class SourceFrames {
public:
    // `dataOffset`: where the data's first frame lies in the source;
    // `frames`: how many of them were read the first time.
    SourceFrames(ByteSource& source, std::uint64_t dataOffset, const SampleFormat& format, std::uint64_t frames)
        : source_(source), dataOffset_(dataOffset), format_(format), frames_(frames)
    {
    }

    std::uint64_t frames() const { return frames_; }

    // Channel `channel` of frames [begin, begin + count) into `out`. Where
    // the source no longer gives them (it changed or failed since), zeros,
    // and failed() tells.
    void copyChannel(std::uint32_t channel, std::uint64_t begin, std::size_t count, float* out);

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

private:
    bool readAt(std::uint64_t frame, std::size_t count);

    ByteSource& source_;
    std::uint64_t dataOffset_;
    SampleFormat format_;
    std::uint64_t frames_;
    std::string error_;
    std::vector<unsigned char> bytes_;  // kept from call to call
    std::vector<float> samples_;
};

}  // namespace tonalyx::detail::recording
