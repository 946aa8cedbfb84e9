#include <cstring>

#include "run/run_state.h"
#include "wave/chunk_id.h"
#include "common/byte_order.h"
#include "wave/read_fully.h"
#include "wave/wave_reader.h"

namespace tonalyx::detail {

namespace {

// One field read of `width` bytes. A read that delivers at least one byte
// counts as done; the bytes it did not deliver are 0.
long readField(RunState& run, unsigned char* bytes, size_t width)
{
    std::memset(bytes, 0, width);
    return readFully(run, bytes, width);
}

}  // namespace

int readSubChunk(RunState& run)
{
    TRACE(run, "readSubChunk() start\n");
    WaveFormat& fmt = run.waveFormat;
    unsigned char b[4];
    long total = 0;

    long got = readField(run, b, 4);
    if (got <= 0)
        return -1;
    total += got;
    std::memcpy(fmt.subId, b, 4);
    if (std::memcmp(fmt.subId, "fmt ", 4) != 0) {
        const std::string id = printableChunkId(fmt.subId);
        run.out.message(tonalyx::MessageCode::wrongFormatId, 0, id, "readSubChunk(): wrong sub ID: %s\n", id.c_str());
        return -2;
    }

    // Each field is stored as soon as it is read; a failed read returns that
    // field's code at once and leaves the later fields as they were.
    if ((got = readField(run, b, 4)) <= 0)
        return -3;
    total += got;
    fmt.subLength = tonalyx::loadLe32(b);
    if ((got = readField(run, b, 2)) <= 0)
        return -4;
    total += got;
    fmt.format = static_cast<int16_t>(tonalyx::loadLe16(b));
    if ((got = readField(run, b, 2)) <= 0)
        return -5;
    total += got;
    fmt.channels = static_cast<int16_t>(tonalyx::loadLe16(b));
    if ((got = readField(run, b, 4)) <= 0)
        return -6;
    total += got;
    fmt.sampleFreq = static_cast<int32_t>(tonalyx::loadLe32(b));
    if ((got = readField(run, b, 4)) <= 0)
        return -7;
    total += got;
    fmt.bytesRate = tonalyx::loadLe32(b);
    if ((got = readField(run, b, 2)) <= 0)
        return -8;
    total += got;
    fmt.blockAlign = static_cast<int16_t>(tonalyx::loadLe16(b));
    if ((got = readField(run, b, 2)) <= 0)
        return 0;
    total += got;
    fmt.bitsPerSample = tonalyx::loadLe16(b);

    // Signed 16-bit fields are widened with their sign before printing, so a
    // format tag of 0xFFFE shows as fffffffe.
    TRACE(run, "Sub-Kennung: %s\n", printableChunkId(fmt.subId).c_str());
    TRACE(run, "Sub-Laenge:  %u\n", fmt.subLength);
    TRACE(run, "Format:      %04x\n", static_cast<unsigned>(static_cast<int>(fmt.format)));
    TRACE(run, "Kanaele:     %02x\n", static_cast<unsigned>(static_cast<int>(fmt.channels)));
    TRACE(run, "Sample-Freq: %d\n", fmt.sampleFreq);
    TRACE(run, "Bytes Rate:  %u\n", fmt.bytesRate);
    TRACE(run, "Block Align: %02u\n", static_cast<unsigned>(static_cast<int>(fmt.blockAlign)));
    TRACE(run, "Bits/Sample: %u\n", static_cast<unsigned>(fmt.bitsPerSample));
    return static_cast<int>(total);
}

}  // namespace tonalyx::detail
