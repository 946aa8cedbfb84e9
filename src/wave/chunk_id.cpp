#include "wave/chunk_id.h"

#include <string_view>

#include "tonalyx/tonalyx.hpp"

std::string printableChunkId(const char* id)
{
    std::size_t length = 0;
    while (length < 4 && id[length] != '\0')
        ++length;
    return tonalyx::escapeControls(std::string_view(id, length));
}
