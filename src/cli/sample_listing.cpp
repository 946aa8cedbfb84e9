#include "cli/sample_listing.h"

#include <string>

#include "common/fixed_format.h"

using namespace tonalyx::detail;  // the library's internals this program reads

namespace {

// The listing's lines are gathered and handed on in large pieces.
constexpr std::size_t kPieceBytes = 1 << 16;
// Room for the longest pair of lines one slot gives.
constexpr std::size_t kSlotMaxChars = 3 * kFixedMaxChars + 16;

// One slot: "index value" with -gnuplot, then its value with -valuelist;
// the first value is preceded by the count.
char* listSample(uint32_t index, double value, uint32_t count, bool gnuplot, bool valuelist, char* out)
{
    if (gnuplot) {
        out = formatFixed6(static_cast<double>(index), out);
        *out++ = ' ';
        out = formatFixed6(value, out);
        *out++ = '\n';
    }
    if (valuelist) {
        if (index == 0) {
            out = formatWhole(count, out);
            *out++ = '\n';
        }
        out = formatFixed6(value, out);
        *out++ = '\n';
    }
    return out;
}

}  // namespace

void listSamples(const double* values, uint32_t count, bool gnuplot, bool valuelist,
                 const std::function<void(std::string_view)>& write)
{
    if (!gnuplot && !valuelist)
        return;
    std::string piece(kPieceBytes, '\0');
    std::size_t listed = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (listed + kSlotMaxChars > kPieceBytes) {
            write(std::string_view(piece.data(), listed));
            listed = 0;
        }
        char* const start = piece.data() + listed;
        listed += static_cast<std::size_t>(listSample(i, values[i], count, gnuplot, valuelist, start) - start);
    }
    write(std::string_view(piece.data(), listed));
}
