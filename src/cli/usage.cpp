#include "cli/usage.h"

#include <cstdio>

#include "tonalyx/version.h"

void usage()
{
    std::printf("Tonalyx - best matching tone frequency of a WAVE file, V" TONALYX_VERSION_STRING "\n");
    std::printf("Usage: Tonalyx [-v] [-length nnn ]\n");
    std::printf("       [-gnuplot] [-valuelist] -i filename\n");
}
