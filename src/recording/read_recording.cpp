#include <algorithm>
#include <vector>

#include "recording/chunk_walk.h"
#include "recording/forward_stream.h"
#include "recording/recording.h"
#include "recording/sample_decode.h"

namespace tonalyx::recording {

namespace {

// Bytes read from the source at a time; the samples are decoded from them
// straight into the recording. Small, since every fresh page of memory
// costs a fault: one second of sound takes about a millisecond to read.
constexpr std::size_t kBlockBytes = 16 * 1024;
// Room set aside from the declared length, at most this many samples
// (4 MiB): recordings up to ten seconds of 48 kHz stereo then grow without
// copies, and a false length sets aside no more than this.
constexpr std::uint64_t kReservedSamples = std::uint64_t{1} << 20;

ReadOutcome readFailure(const ForwardStream& in)
{
    return {Status::readError, in.source().errorText()};
}

// Whole frames from the start of the data up to its length, the end of the
// input or kMaxSeconds, whichever comes first; a partial last frame is
// dropped.
ReadOutcome readFrames(ForwardStream& in, const DataChunk& data, std::vector<unsigned char>& block, Recording& out)
{
    const SampleFormat& format = data.format;
    const std::uint64_t frameBytes = format.frameBytes();
    const std::uint64_t maxFrames = static_cast<std::uint64_t>(kMaxSeconds) * format.sampleRate;
    const std::uint64_t blockFrames = block.size() / frameBytes;
    std::uint64_t left = data.bounded ? data.bytes : UINT64_MAX;
    std::uint64_t frames = 0;
    if (data.bounded)
        out.samples.reserve(static_cast<std::size_t>(
            std::min({data.bytes / frameBytes, maxFrames, kReservedSamples / format.channels}) * format.channels));

    while (frames < maxFrames && left >= frameBytes) {
        const std::uint64_t wanted = std::min({blockFrames, maxFrames - frames, left / frameBytes}) * frameBytes;
        const std::size_t got = in.read(block.data(), static_cast<std::size_t>(wanted));
        if (in.failed())
            return readFailure(in);
        const std::uint64_t gotFrames = got / frameBytes;
        const std::size_t at = out.samples.size();
        const auto needed = static_cast<std::size_t>(at + gotFrames * format.channels);
        // Grown by doubling, but never past the limit: the bound holds for
        // what is reserved, not only for what is used.
        if (needed > out.samples.capacity())
            out.samples.reserve(std::min<std::size_t>(std::max(needed, 2 * out.samples.capacity()),
                                                      static_cast<std::size_t>(maxFrames * format.channels)));
        out.samples.resize(needed);
        decodeSamples(format.encoding, block.data(), out.samples.size() - at, out.samples.data() + at);
        frames += gotFrames;
        left -= got;
        if (got < wanted)
            break;  // the end of the input
    }

    // At the limit: one more whole frame says the recording goes on.
    if (frames == maxFrames && left >= frameBytes && !in.atEnd()) {
        out.cutShort = in.read(block.data(), static_cast<std::size_t>(frameBytes)) == frameBytes;
        if (in.failed())
            return readFailure(in);
    }
    if (frames == 0)
        return {Status::noData, "no samples in the data chunk"};
    return {};
}

}  // namespace

ReadOutcome readRecording(ByteSource& source, Recording& out)
{
    out = Recording{};
    ForwardStream in(source);
    std::vector<unsigned char> block(kBlockBytes);
    DataChunk data;
    ReadOutcome outcome = walkToData(in, block.data(), block.size(), data);
    if (outcome.status != Status::ok)
        return outcome;

    out.sampleRate = data.format.sampleRate;
    out.channels = data.format.channels;
    outcome = readFrames(in, data, block, out);
    if (outcome.status != Status::ok)
        out = Recording{};
    return outcome;
}

}  // namespace tonalyx::recording
