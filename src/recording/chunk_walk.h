// The walk from the RIFF (RIFX, RF64 or BW64) header over the chunks before
// the data chunk: the format found on the way and how many data bytes to
// expect. At most kMaxChunksBeforeData chunks are walked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recording/forward_stream.h"
#include "recording/recording.h"
#include "recording/sample_format.h"

namespace tonalyx::detail::recording {

struct DataChunk {
    SampleFormat format;
    std::string formatNote;  // a disagreement within the fmt chunk, empty for none
    // False where the writer could not know the length (a pipe): the data
    // then runs to the end of the input. True: at most `bytes` bytes.
    bool bounded = false;
    std::uint64_t bytes = 0;
};

// Leaves the stream at the first byte of the data. `scratch` is room for
// the bytes of skipped chunks.
ReadOutcome walkToData(ForwardStream& in, unsigned char* scratch, std::size_t scratchSize, DataChunk& out);

}  // namespace tonalyx::detail::recording
