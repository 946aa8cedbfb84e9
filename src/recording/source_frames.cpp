#include "recording/source_frames.h"

#include <algorithm>

#include "recording/forward_stream.h"
#include "recording/sample_decode.h"

namespace tonalyx::detail::recording {

namespace {

// Samples decoded at a time: the scratch stays small whatever is asked.
constexpr std::size_t kChunkSamples = 8192;

}  // namespace

bool SourceFrames::readAt(std::uint64_t frame, std::size_t count)
{
    const std::size_t wanted = count * format_.frameBytes();
    bytes_.resize(wanted);
    if (!source_.seek(dataOffset_ + frame * format_.frameBytes())) {
        error_ = "the input can no longer be read again";
        return false;
    }
    ForwardStream in(source_);
    const std::size_t got = in.read(bytes_.data(), wanted);
    if (in.failed()) {
        error_ = source_.errorText();
        return false;
    }
    if (got < wanted) {
        error_ = "the input changed while it was measured";
        return false;
    }
    samples_.resize(count * format_.channels);
    decodeSamples(format_, bytes_.data(), samples_.size(), samples_.data());
    return true;
}

void SourceFrames::copyChannel(std::uint32_t channel, std::uint64_t begin, std::size_t count, float* out)
{
    const std::size_t chunk = std::max<std::size_t>(1, kChunkSamples / format_.channels);
    while (count > 0) {
        const std::size_t n = std::min(count, chunk);
        const bool inside = channel < format_.channels && begin <= frames_ && n <= frames_ - begin;
        if (!failed() && !inside)
            error_ = "frames asked for beyond the recording";
        if (failed() || !readAt(begin, n)) {
            std::fill(out, out + n, 0.0f);
        } else {
            const float* from = samples_.data() + channel;
            for (std::size_t i = 0; i < n; ++i)
                out[i] = from[i * format_.channels];
        }
        begin += n;
        count -= n;
        out += n;
    }
}

}  // namespace tonalyx::detail::recording
