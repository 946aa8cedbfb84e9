// The WAVE reader: RIFF header at offset 0, format chunk at offset 12, data
// chunk at offset 36. Each reader returns the bytes it consumed, or a
// negative code of its own.
#pragma once

#include <cstdint>

#include "run/wave_records.h"

namespace tonalyx::detail {

struct RunState;

// 12, or -1 when 12 bytes cannot be read, -2 when the tag is not "RIFF".
int readMainChunk(RunState& run);

// The sum of the eight field reads (24 for a whole chunk), or -1 (no id),
// -2 (id not "fmt "), -3 to -8 (subLength to blockAlign unreadable),
// 0 (bitsPerSample unreadable).
int readSubChunk(RunState& run);

// Bytes read for this chunk, header included, or -1 (no header byte),
// -2 (not a data chunk), -3 (unusable bits per sample).
int readDataChunk(RunState& run, ChunkHeader* header, uint32_t maxLength);

// Seeks to offset 36 and loads data chunks until the sum of their results
// reaches maxLength (or 2 x maxLength + 2 calls were made, or a read
// failed). Adds every result to *pos. Returns 0.
int readDataFrames(RunState& run, int32_t* pos, uint32_t maxLength);

}  // namespace tonalyx::detail
