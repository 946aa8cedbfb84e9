// The reader of what recorders and converters write, for the measurement:
// RIFF, RIFX (big-endian), RF64 and BW64; integer samples of 1 to 64 bits
// in 1- to 8-byte containers, 32- and 64-bit floats, G.711 mu-law and
// A-law, plain or extensible; chunks in any order, any data length. The
// default run keeps its own reader (src/wave), which reads only the
// canonical layout, and exactly as it always has.
//
// Bounds, whatever the header declares: at most kMaxChunksBeforeData chunks
// are walked before the data (large ones skipped by seeking where the
// input can seek), and the samples take at most kMaxSampleBytes, so that a
// run with the measurement stays within kRunMemoryBytes of resident memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "api/api.h"
#include "recording/source_frames.h"

namespace tonalyx::detail::recording {

// A recording longer than this, or than kMaxSamples, is measured over its
// first part.
constexpr double kMaxSeconds = 60.0;
constexpr std::uint32_t kMaxChannels = 8;
constexpr std::uint32_t kMaxSampleRate = 768000;
constexpr std::uint32_t kMaxChunksBeforeData = 1000;

// The resident memory a measurement run stays within, and the part of it
// the samples (floats) may take; the rest is room for the program, the
// reader's block and the measurement's own work. 60 s of 48 kHz stereo
// take 22 MiB; 8 channels at 768 kHz fill the samples after 8.192 s.
constexpr std::uint64_t kRunMemoryBytes = std::uint64_t{256} << 20;
constexpr std::uint64_t kMaxSampleBytes = std::uint64_t{192} << 20;
constexpr std::uint64_t kMaxSamples = kMaxSampleBytes / sizeof(float);
static_assert(kRunMemoryBytes - kMaxSampleBytes >= std::uint64_t{64} << 20, "room for the rest of a run");

struct Recording {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;  // 1 to 8
    // Interleaved frames (channel 1, channel 2, ... per frame), each sample
    // scaled to [-1, 1]: integers by their full scale (8-bit unsigned
    // around 128), floats as they are (NaN and infinities as 0). Empty when
    // the frames were handed on as they were read and `reread` serves them.
    std::vector<float> samples;
    // The frames read again from a source that can seek, instead of held.
    std::unique_ptr<SourceFrames> reread;
    // Longer than kMaxSeconds or kMaxSamples: only the first part is here.
    bool cutShort = false;
    std::uint64_t frames() const
    {
        return reread ? reread->frames() : channels ? samples.size() / channels : 0;
    }
};

// What takes the frames as they are read: start() once the format is known
// (with the frames to expect, 0 when unknown), then take() for each run of
// whole interleaved frames.
class SampleSink {
public:
    virtual void start(std::uint32_t channels, std::uint32_t sampleRate, std::uint64_t expectedFrames) = 0;
    virtual void take(const float* samples, std::size_t frames) = 0;

protected:
    ~SampleSink() = default;
};

struct ReadOutcome {
    Status status = Status::ok;  // ok, noData (unsupported or broken data), readError
    std::string error;           // "unsupported format tag 0x0055", without a line end
    // What the reader noticed but read past ("block align 6 does not match
    // ..."), without a line end; empty for none.
    std::string note;
};

// Reads the recording (up to the bounds) from the source, forward only, so
// a pipe serves; a source that can seek skips large chunks. The samples'
// room is set aside for the length given, or (for data of unknown length)
// 4 MiB first and then once the bound, never more. After an error `out`
// holds no samples.
ReadOutcome readRecording(ByteSource& source, Recording& out);

// The same, every frame handed to `sink` as it is read. A source that can
// seek keeps no samples: `out.reread` reads frames again on demand, which
// spares the memory (and its page faults) of a decoded copy.
ReadOutcome readRecording(ByteSource& source, Recording& out, SampleSink& sink);

}  // namespace tonalyx::detail::recording
