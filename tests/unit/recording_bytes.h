// Test helpers for the recording reader: RIFF (RIFX, RF64, BW64) files
// built chunk by chunk, samples laid out as a format says, and byte
// sources that deliver them as a file, a pipe or a failing device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/api.h"

using Bytes = std::vector<unsigned char>;

struct Chunk {
    std::string id;                       // four characters
    Bytes payload;                        // padded to even in the file
    std::optional<uint32_t> declared;     // the size field; payload.size() if unset
};

// "RIFF" (or `tag`), a size, "WAVE", then the chunks; sizes big-endian
// for "RIFX".
Bytes riffFile(const std::vector<Chunk>& chunks, const std::string& tag = "RIFF");

// A 16-byte fmt chunk, or 18 with a zero extension size; blockAlign is
// channels x the bits rounded up to bytes unless given.
Chunk fmtPlain(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, bool withExtensionSize = false,
               bool bigEndian = false, std::optional<uint16_t> blockAlign = {});
// A 40-byte extensible fmt chunk whose sub-format GUID is the standard one
// for `subTag`.
Chunk fmtExtensible(uint16_t channels, uint32_t rate, uint16_t containerBits, uint16_t validBits,
                    uint16_t subTag, bool bigEndian = false);
// A ds64 chunk: RIFF size, data size, sample count, an empty table.
Chunk ds64(uint64_t dataBytes);

Bytes le(uint64_t value, int bytes);
Bytes field(uint64_t value, int bytes, bool bigEndian);
Bytes concat(const std::vector<Bytes>& parts);

// A signed whole number of `validBits` (a 1-byte container: offset to
// unsigned) left-justified in a container of `containerBytes`, in the
// given byte order.
Bytes integerSample(int64_t code, int validBits, int containerBytes, bool bigEndian);

// Bytes in memory, served in pieces of at most `piece` bytes. Seeking is
// counted, and refused unless `seekable` (a file rather than a pipe).
// After `failAt` bytes every read fails.
class TestSource final : public tonalyx::ByteSource {
public:
    explicit TestSource(const Bytes& bytes, size_t piece = SIZE_MAX, size_t failAt = SIZE_MAX, bool seekable = false)
        : bytes_(bytes), piece_(piece), failAt_(failAt), seekable_(seekable)
    {
    }
    long read(void* buffer, std::size_t count) override;
    bool seek(std::uint64_t offset) override;
    std::string errorText() const override { return "device gone"; }

    int seeks = 0;
    size_t delivered = 0;  // bytes handed out by read()
    int endlessFill = -1;  // 0 to 255: after the bytes, this byte without end

private:
    const Bytes& bytes_;
    size_t piece_;
    size_t failAt_;
    bool seekable_;
    size_t at_ = 0;
};
