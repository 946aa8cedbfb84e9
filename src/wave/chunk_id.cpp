#include "wave/chunk_id.h"

namespace tonalyx::detail {

namespace {

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

std::string printableChunkId(const char* id)
{
    std::string out;
    for (std::size_t i = 0; i < 4 && id[i] != '\0'; ++i) {
        const auto byte = static_cast<unsigned char>(id[i]);
        if (byte <= 0x1f || byte == 0x7f) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += id[i];  // every other byte as it stands in the file
        }
    }
    return out;
}

}  // namespace tonalyx::detail
