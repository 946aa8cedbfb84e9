// A message of a report or a measurement, as the C interface hands it out.
#pragma once

#include <cstddef>
#include <vector>

#include "tonalyx/tonalyx.h"
#include "tonalyx/tonalyx.hpp"

inline const char* cMessageAt(const std::vector<tonalyx::Message>& messages, size_t index, int* stream)
{
    if (index >= messages.size())
        return nullptr;
    if (stream)
        *stream = messages[index].stream == tonalyx::Stream::err ? TONALYX_STDERR : TONALYX_STDOUT;
    return messages[index].text.c_str();
}
