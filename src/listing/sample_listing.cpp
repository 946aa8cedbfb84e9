#include "listing/sample_listing.h"

#include <cstdio>
#include <cstring>

#include "common/fixed_format.h"
#include "common/globals.h"

namespace {

// The listing's lines are gathered here and written in large pieces.
constexpr std::size_t kBufferBytes = 1 << 16;
char gListing[kBufferBytes];
std::size_t gListed = 0;

// Room for the longest pair of lines one slot gives.
constexpr std::size_t kSlotMaxChars = 3 * kFixedMaxChars + 16;

}  // namespace

void flushListing()
{
    std::fwrite(gListing, 1, gListed, stdout);
    gListed = 0;
}

void printSample(uint32_t index, double value, uint32_t count)
{
    if (gListed + kSlotMaxChars > kBufferBytes)
        flushListing();
    char* out = gListing + gListed;
    if (gGnuplot) {
        out = formatFixed6(static_cast<double>(index), out);
        *out++ = ' ';
        out = formatFixed6(value, out);
        *out++ = '\n';
    }
    if (gValuelist) {
        if (gValuelistCalls++ == 0) {
            out = formatWhole(count, out);
            *out++ = '\n';
        }
        out = formatFixed6(value, out);
        *out++ = '\n';
    }
    gListed = static_cast<std::size_t>(out - gListing);
}

void printSamples(uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        printSample(i, gSamples[i], count);
    flushListing();
}
