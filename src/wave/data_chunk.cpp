#include <algorithm>
#include <cstring>

#include "run/run_state.h"
#include "wave/chunk_id.h"
#include "common/byte_order.h"
#include "wave/read_fully.h"
#include "wave/wave_reader.h"

namespace tonalyx::detail {

namespace {

constexpr long kBlockBytes = 512;
constexpr long kDataChunkOffset = 36;  // right after a 16-byte format chunk

// Reads the 8-byte chunk header. Bytes a short read did not deliver are 0.
// Once the input has ended it is not asked again: it would only end again.
long readChunkHeader(RunState& run, ChunkHeader* header)
{
    unsigned char raw[8] = {};
    const long got = run.inputEnded ? 0 : readFully(run, raw, sizeof raw);
    if (got <= 0)
        run.inputEnded = true;
    std::memcpy(header->id, raw, 4);
    header->dlength = tonalyx::loadLe32(raw + 4);
    return got;
}

// The first data chunk sizes the sample buffer. Only the first maxLength
// slots can ever be stored (the slot index of a call never reaches it), so
// no more than that is held, whatever the chunk declares. The slots are
// stored from 0 on, so those never stored are the last ones; they are set
// to 0 once loading is over.
void allocateSamples(RunState& run, uint32_t dlength, uint32_t bytesPerSlot, uint32_t maxLength)
{
    run.noSamples = dlength / bytesPerSlot;
    const uint32_t held = std::min(run.noSamples, maxLength);
    run.samples.assign(held, 0.0);
    run.samplesHeld = true;
    run.heldSlots = held;
    TRACE(run, "readDataChunk() noSamples=%u\n", run.noSamples);
}

}  // namespace

int readDataChunk(RunState& run, ChunkHeader* header, uint32_t maxLength)
{
    TRACE(run, "\nreadDataChunk() start maxLength=%d\n", static_cast<int32_t>(maxLength));
    const long headerBytes = readChunkHeader(run, header);
    if (headerBytes <= 0)
        return -1;
    long total = headerBytes;

    ++run.frameCount;
    TRACE(run, "readDataChunk() frame count=%u\n", run.frameCount);
    TRACE(run, "readDataChunk() id: %s\n", printableChunkId(header->id).c_str());
    TRACE(run, "readDataChunk() length:  %d\n", static_cast<int32_t>(header->dlength));
    if (std::memcmp(header->id, "data", 4) != 0) {
        run.out.message(tonalyx::MessageCode::wrongDataId, 0, {}, "readDataChunk(): ERROR wrong data chunk ID\n");
        return -2;
    }
    const uint32_t bitsPerSample = run.waveFormat.bitsPerSample;
    if (bitsPerSample < 8) {
        // 0 bytes per slot: neither the slot count nor the stepping exists.
        run.out.message(tonalyx::MessageCode::unsupportedBits, bitsPerSample, {},
                        "readDataChunk(): ERROR unsupported bits per sample %u\n", bitsPerSample);
        return -3;
    }
    const uint32_t bytesPerSlot = bitsPerSample / 8;

    // At most maxLength slots are held, so the buffer always fits.
    if (!run.samplesHeld)
        allocateSamples(run, header->dlength, bytesPerSlot, maxLength);

    // A dlength of 2^31 or more is negative here and reads no data.
    int32_t remaining = static_cast<int32_t>(header->dlength);
    TRACE(run, "readDataChunk() pheader->dlength=%d\n", remaining);

    // One spare byte: a slot starting at a block's last byte reads its high
    // byte there, and that byte is 0.
    unsigned char block[kBlockBytes + 1];
    uint32_t index = 0;  // every call stores from slot 0 on
    while (remaining > 0) {
        const long got = readFully(run, block, static_cast<size_t>(std::min<long>(remaining, kBlockBytes)));
        if (got <= 0)
            break;
        block[got] = 0;
        remaining -= static_cast<int32_t>(got);
        total += got;
        TRACE(run, "readDataChunk() read=%d total=%d\n", static_cast<int>(got), static_cast<int32_t>(total));

        // Every slot is 16 bits at its first byte, whatever the sample width;
        // each block starts a slot at its own first byte. Once maxLength slots
        // have been processed in the run, the chunk ends (after at least one
        // slot of this block, however many came before).
        const auto slotsInBlock = static_cast<uint32_t>((got + bytesPerSlot - 1) / bytesPerSlot);
        const uint32_t untilMax = run.actLength < maxLength ? maxLength - run.actLength : 1;
        const uint32_t taken = std::min(slotsInBlock, untilMax);
        const uint32_t stored = index < run.heldSlots ? std::min(taken, run.heldSlots - index) : 0;
        double* const slots = run.samples.data();
        for (uint32_t k = 0; k < stored; ++k) {
            const unsigned char* slot = block + static_cast<size_t>(k) * bytesPerSlot;
            slots[index + k] = static_cast<int16_t>(slot[0] | slot[1] << 8);
        }
        if (stored)
            run.loadedSlots = std::max(run.loadedSlots, index + stored);
        index += taken;
        run.actLength += taken;
        if (taken == untilMax)
            break;
    }
    TRACE(run, "readDataChunk() ret=%d\n", static_cast<int32_t>(total));
    return static_cast<int>(total);
}

int readDataFrames(RunState& run, int32_t* pos, uint32_t maxLength)
{
    ChunkHeader header{};
    uint32_t runningTotal = 0;  // wraps below zero on purpose: ends the loop
    run.source.seek(kDataChunkOffset);  // on a pipe this fails; reading goes on where it is

    // Every call that reads a data chunk adds at least 8 to the total, one
    // at the end of the input takes 1 away, any other takes 2 away and reads
    // 8 bytes. So data chunks, then other chunks, then the end of the input
    // wrap or reach the total within 9/8 maxLength + 1 calls. Only data
    // chunks that keep following other chunks can hold the total below
    // maxLength for longer, at one error line per 8 bytes of the file,
    // however large; such a file is read no further than this.
    const uint32_t maxCalls = 2 * maxLength + 2;
    for (uint32_t calls = 0; runningTotal < maxLength && calls < maxCalls && !run.readFailed; ++calls) {
        const int result = readDataChunk(run, &header, maxLength);
        runningTotal += static_cast<uint32_t>(result);
        *pos = static_cast<int32_t>(static_cast<uint32_t>(*pos) + static_cast<uint32_t>(result));
    }
    // Slots never stored are 0 (the buffer starts as zeros).
    return 0;
}

}  // namespace tonalyx::detail
