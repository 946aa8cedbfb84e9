#include "recording_bytes.h"

#include <algorithm>
#include <cstring>

Bytes le(uint64_t value, int bytes)
{
    Bytes out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    return out;
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
    Bytes body = tagBytes("WAVE");
    for (const Chunk& chunk : chunks) {
        const Bytes head = concat({tagBytes(chunk.id), le(chunk.declared.value_or(chunk.payload.size()), 4)});
        body.insert(body.end(), head.begin(), head.end());
        body.insert(body.end(), chunk.payload.begin(), chunk.payload.end());
        if (chunk.payload.size() % 2)
            body.push_back(0);
    }
    return concat({tagBytes(tag), le(body.size(), 4), body});
}

Chunk fmtPlain(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, bool withExtensionSize)
{
    const uint32_t align = channels * bits / 8u;
    Bytes payload = concat({le(tag, 2), le(channels, 2), le(rate, 4), le(rate * align, 4), le(align, 2), le(bits, 2)});
    if (withExtensionSize)
        payload = concat({payload, le(0, 2)});
    return {"fmt ", payload, {}};
}

Chunk fmtExtensible(uint16_t channels, uint32_t rate, uint16_t containerBits, uint16_t validBits, uint16_t subTag)
{
    Chunk chunk = fmtPlain(0xFFFE, channels, rate, containerBits);
    const Bytes guidTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    chunk.payload = concat({chunk.payload, le(22, 2), le(validBits, 2), le(0x3, 4), le(subTag, 4), guidTail});
    return chunk;
}

Chunk ds64(uint64_t dataBytes)
{
    return {"ds64", concat({le(0, 8), le(dataBytes, 8), le(0, 8), le(0, 4)}), {}};
}

long TestSource::read(void* buffer, std::size_t count)
{
    const size_t at = delivered;
    if (at >= failAt_)
        return -1;
    const size_t n = std::min({count, piece_, bytes_.size() - at, failAt_ - at});
    if (n > 0)  // an empty vector's data() may be null
        std::memcpy(buffer, bytes_.data() + at, n);
    delivered += n;
    return static_cast<long>(n);
}
