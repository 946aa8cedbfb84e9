#include "cli/options.h"

#include <cstring>

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
                options.length = tonalyx::lengthFromText(next);
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
