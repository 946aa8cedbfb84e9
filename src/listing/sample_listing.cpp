#include "listing/sample_listing.h"

#include <string>

#include "common/fixed_format.h"
#include "core/run_state.h"

namespace {

// The listing's lines are gathered and handed on in large pieces.
constexpr std::size_t kPieceBytes = 1 << 16;
// Room for the longest pair of lines one slot gives.
constexpr std::size_t kSlotMaxChars = 3 * kFixedMaxChars + 16;

// One slot: "index value" with -gnuplot, then its value with -valuelist;
// the first value of the run is preceded by the count.
char* printSample(RunState& run, uint32_t index, double value, uint32_t count, char* out)
{
    if (run.gnuplot) {
        out = formatFixed6(static_cast<double>(index), out);
        *out++ = ' ';
        out = formatFixed6(value, out);
        *out++ = '\n';
    }
    if (run.valuelist) {
        if (run.valuelistCalls++ == 0) {
            out = formatWhole(count, out);
            *out++ = '\n';
        }
        out = formatFixed6(value, out);
        *out++ = '\n';
    }
    return out;
}

}  // namespace

void printSamples(RunState& run, uint32_t count)
{
    if (!run.out.listingWanted())
        return;  // nobody reads the text
    std::string piece(kPieceBytes, '\0');
    std::size_t listed = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (listed + kSlotMaxChars > kPieceBytes) {
            run.out.listing(std::string_view(piece.data(), listed));
            listed = 0;
        }
        char* const start = piece.data() + listed;
        listed += static_cast<std::size_t>(printSample(run, i, run.samples[i], count, start) - start);
    }
    run.out.listing(std::string_view(piece.data(), listed));
}
