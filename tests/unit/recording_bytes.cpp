#include "recording_bytes.h"

#include <algorithm>
#include <cstring>

Bytes field(uint64_t value, int bytes, bool bigEndian)
{
    Bytes out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
    return out;
}

Bytes le(uint64_t value, int bytes)
{
    return field(value, bytes, false);
}

Bytes concat(const std::vector<Bytes>& parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

static Bytes tagBytes(const std::string& tag)
{
    return Bytes(tag.begin(), tag.end());
}

Bytes riffFile(const std::vector<Chunk>& chunks, const std::string& tag)
{
    const bool bigEndian = tag == "RIFX";
    Bytes body = tagBytes("WAVE");
    for (const Chunk& chunk : chunks) {
        const Bytes head =
            concat({tagBytes(chunk.id), field(chunk.declared.value_or(chunk.payload.size()), 4, bigEndian)});
        body.insert(body.end(), head.begin(), head.end());
        body.insert(body.end(), chunk.payload.begin(), chunk.payload.end());
        if (chunk.payload.size() % 2)
            body.push_back(0);
    }
    return concat({tagBytes(tag), field(body.size(), 4, bigEndian), body});
}

Chunk fmtPlain(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, bool withExtensionSize,
               bool bigEndian, std::optional<uint16_t> blockAlign)
{
    const uint32_t align = blockAlign.value_or(channels * ((bits + 7u) / 8u));
    auto f = [bigEndian](uint64_t value, int bytes) { return field(value, bytes, bigEndian); };
    Bytes payload = concat({f(tag, 2), f(channels, 2), f(rate, 4), f(rate * align, 4), f(align, 2), f(bits, 2)});
    if (withExtensionSize)
        payload = concat({payload, f(0, 2)});
    return {"fmt ", payload, {}};
}

Chunk fmtExtensible(uint16_t channels, uint32_t rate, uint16_t containerBits, uint16_t validBits, uint16_t subTag,
                    bool bigEndian)
{
    Chunk chunk = fmtPlain(0xFFFE, channels, rate, containerBits, false, bigEndian);
    auto f = [bigEndian](uint64_t value, int bytes) { return field(value, bytes, bigEndian); };
    // The GUID's first three fields in the file's byte order, then 8 bytes.
    const Bytes guid = concat({f(subTag, 4), f(0x0000, 2), f(0x0010, 2), {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}});
    chunk.payload = concat({chunk.payload, f(22, 2), f(validBits, 2), f(0x3, 4), guid});
    return chunk;
}

Chunk ds64(uint64_t dataBytes)
{
    return {"ds64", concat({le(0, 8), le(dataBytes, 8), le(0, 8), le(0, 4)}), {}};
}

Bytes integerSample(int64_t code, int validBits, int containerBytes, bool bigEndian)
{
    uint64_t word = static_cast<uint64_t>(code);
    if (containerBytes == 1)
        word += uint64_t{1} << (validBits - 1);
    return field(word << (8 * containerBytes - validBits), containerBytes, bigEndian);
}

long TestSource::read(void* buffer, std::size_t count)
{
    if (at_ >= failAt_)
        return -1;
    if (at_ >= bytes_.size() && endlessFill >= 0) {
        const size_t n = std::min({count, piece_, failAt_ - at_});
        std::memset(buffer, endlessFill, n);
        at_ += n;
        delivered += n;
        return static_cast<long>(n);
    }
    const size_t n = at_ >= bytes_.size() ? 0 : std::min({count, piece_, bytes_.size() - at_, failAt_ - at_});
    if (n > 0)  // an empty vector's data() may be null
        std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    delivered += n;
    return static_cast<long>(n);
}

bool TestSource::seek(std::uint64_t offset)
{
    ++seeks;
    if (!seekable_)
        return false;
    at_ = static_cast<size_t>(std::min<std::uint64_t>(offset, SIZE_MAX));
    return true;
}
