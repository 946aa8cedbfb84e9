#include <algorithm>
#include <memory>
#include <vector>

#include "recording/chunk_walk.h"
#include "recording/forward_stream.h"
#include "recording/recording.h"
#include "recording/sample_decode.h"

namespace tonalyx::detail::recording {

namespace {

// Bytes read from the source at a time; the samples are decoded from them
// straight into the recording. Small, since every fresh page of memory
// costs a fault: one second of sound takes about a millisecond to read.
constexpr std::size_t kBlockBytes = 64 * 1024;
// The first room for data of unknown length (4 MiB): a recording that
// outgrows it moves once, straight into room for the bound, so that the
// old and the new room are held together only while the first is small.
constexpr std::uint64_t kFirstRoomSamples = std::uint64_t{1} << 20;
// Samples decoded at a time for a sink: a small room, used again and again.
constexpr std::size_t kSinkChunkSamples = 4096;

ReadOutcome readFailure(const ForwardStream& in)
{
    return {Status::readError, in.source().errorText(), {}};
}

// Decodes a block of whole frames for the sink, a few at a time.
void handOn(const SampleFormat& format, const unsigned char* bytes, std::uint64_t frames, SampleSink& sink,
            std::vector<float>& room)
{
    const std::size_t chunk = std::max<std::size_t>(1, kSinkChunkSamples / format.channels);
    room.resize(chunk * format.channels);
    while (frames > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(frames, chunk));
        decodeSamples(format, bytes, n * format.channels, room.data());
        sink.take(room.data(), n);
        bytes += n * format.frameBytes();
        frames -= n;
    }
}

// Whole frames from the start of the data up to its length, the end of the
// input, kMaxSeconds or kMaxSamples, whichever comes first; a partial last
// frame is dropped. With a sink, every frame goes to it; they are kept in
// `out` unless `keep` is false.
ReadOutcome readFrames(ForwardStream& in, const DataChunk& data, std::vector<unsigned char>& block, Recording& out,
                       SampleSink* sink, bool keep, std::uint64_t& framesRead)
{
    const SampleFormat& format = data.format;
    const std::uint64_t frameBytes = format.frameBytes();
    const std::uint64_t maxFrames =
        std::min(static_cast<std::uint64_t>(kMaxSeconds) * format.sampleRate, kMaxSamples / format.channels);
    const std::uint64_t blockFrames = block.size() / frameBytes;
    const auto boundSamples = static_cast<std::size_t>(maxFrames * format.channels);
    std::uint64_t left = data.bounded ? data.bytes : UINT64_MAX;
    const std::uint64_t expected = data.bounded ? std::min(left / frameBytes, maxFrames) : 0;
    // A length given: room for all of it (up to the bound) at once. Pages
    // become resident only as samples fill them, so a length that lies
    // costs address space, not memory.
    if (keep)
        out.samples.reserve(data.bounded ? static_cast<std::size_t>(expected * format.channels)
                                         : std::min<std::size_t>(boundSamples, kFirstRoomSamples));
    if (sink)
        sink->start(format.channels, format.sampleRate, expected);
    std::vector<float> room;

    std::uint64_t frames = 0;
    while (frames < maxFrames && left >= frameBytes) {
        const std::uint64_t wanted = std::min({blockFrames, maxFrames - frames, left / frameBytes}) * frameBytes;
        const std::size_t got = in.read(block.data(), static_cast<std::size_t>(wanted));
        if (in.failed())
            return readFailure(in);
        const std::uint64_t gotFrames = got / frameBytes;
        if (keep) {
            const std::size_t at = out.samples.size();
            const auto needed = static_cast<std::size_t>(at + gotFrames * format.channels);
            if (needed > out.samples.capacity())
                out.samples.reserve(boundSamples);
            out.samples.resize(needed);
            decodeSamples(format, block.data(), out.samples.size() - at, out.samples.data() + at);
            if (sink)
                sink->take(out.samples.data() + at, static_cast<std::size_t>(gotFrames));
        } else {
            handOn(format, block.data(), gotFrames, *sink, room);
        }
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
    framesRead = frames;
    if (frames == 0)
        return {Status::noData, "no samples in the data chunk", {}};
    return {};
}

ReadOutcome readInto(ByteSource& source, Recording& out, SampleSink* sink)
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
    // Seeking to where it stands tells whether the source can seek at all.
    const std::uint64_t dataOffset = in.position();
    const bool keep = sink == nullptr || !source.seek(dataOffset);
    std::uint64_t frames = 0;
    outcome = readFrames(in, data, block, out, sink, keep, frames);
    if (outcome.status != Status::ok) {
        out = Recording{};
        return outcome;
    }
    if (!keep)
        out.reread = std::make_unique<SourceFrames>(source, dataOffset, data.format, frames);
    outcome.note = data.formatNote;
    return outcome;
}

}  // namespace

ReadOutcome readRecording(ByteSource& source, Recording& out)
{
    return readInto(source, out, nullptr);
}

ReadOutcome readRecording(ByteSource& source, Recording& out, SampleSink& sink)
{
    return readInto(source, out, &sink);
}

}  // namespace tonalyx::detail::recording
