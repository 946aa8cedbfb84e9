// Trace lines go to standard output, and only with -v.
#pragma once

#include <cstdio>

#include "common/globals.h"

#define TRACE(...)                    \
    do {                              \
        if (gVerbose)                 \
            std::printf(__VA_ARGS__); \
    } while (0)
