// The library's escaper for names, for clients that show names themselves
// (the web page), so that every client escapes as the console does.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "tonalyx/tonalyx.h"
#include "api/api.h"

extern "C" size_t tonalyx_escape_controls(const char* text, size_t size, char* out, size_t out_size)
{
    std::string escaped;
    try {
        escaped = tonalyx::escapeControls(std::string_view(text ? text : "", text ? size : 0));
    } catch (...) {
        if (out && out_size > 0)
            out[0] = '\0';
        return SIZE_MAX;  // out of memory
    }
    if (out && out_size > 0) {
        const std::size_t given = std::min(escaped.size(), out_size - 1);
        std::memcpy(out, escaped.data(), given);
        out[given] = '\0';
    }
    return escaped.size();
}
