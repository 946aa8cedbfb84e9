// Reading of the command line into the run's flags and settings.
#pragma once

#include <cstdint>
#include <string>

#include "api/api.h"

struct Options {
    std::string fileName;  // from -i, used whole whatever its length
    uint32_t length = tonalyx::kDefaultLength;  // from -length, unchecked
    bool verbose = false;  // -v
    bool gnuplot = false;  // -gnuplot
    bool valuelist = false;  // -valuelist
    bool hz = false;       // -hz: the measurement instead of the default answer
    bool segments = false; // -segments (with -hz): a line per stretch of tone first
    bool pictures = false; // -pictures (with -hz): the data of the plots after the line
};

// Compares every argument with every option word; the value after -i or
// -length is also compared in its own turn (`-i -v` names the file "-v" and
// switches the trace on).
Options readOptions(int argc, const char* const* argv);
