// The two records the WAVE reader fills, field for field as they stand in
// the file (little-endian on disk, decoded explicitly on reading).
#pragma once

#include <cstdint>

namespace tonalyx::detail {

struct WaveFormat {
    char subId[4];           // must be "fmt "
    uint32_t subLength;      // traced only; not used to find the data chunk
    int16_t format;
    int16_t channels;
    int32_t sampleFreq;
    uint32_t bytesRate;
    int16_t blockAlign;
    uint16_t bitsPerSample;  // the only field the loader uses
};

struct ChunkHeader {
    char id[4];              // "data" for a data chunk
    uint32_t dlength;        // byte count of the chunk's data
};

}  // namespace tonalyx::detail
