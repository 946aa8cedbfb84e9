#include "cli/options.h"

#include <cstring>

int32_t parseLength(const char* text)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

Options readOptions(int argc, const char* const* argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(arg, "-v") == 0)
            options.verbose = true;
        else if (std::strcmp(arg, "-i") == 0) {
            if (next)
                options.fileName = next;
        } else if (std::strcmp(arg, "-length") == 0) {
            if (next)
                options.length = parseLength(next);
        } else if (std::strcmp(arg, "-gnuplot") == 0)
            options.gnuplot = true;
        else if (std::strcmp(arg, "-valuelist") == 0)
            options.valuelist = true;
        else if (std::strcmp(arg, "-hz") == 0)
            options.hz = true;
        else if (std::strcmp(arg, "-segments") == 0)
            options.segments = true;
        else if (std::strcmp(arg, "-pictures") == 0)
            options.pictures = true;
        // Any other word is ignored.
    }
    return options;
}
