#include "analysis/result_line.h"

#include "common/fixed_format.h"

namespace tonalyx::detail {

std::string resultLine(double bestResult, uint32_t bestFreq)
{
    // The project's own "%lf" and "%u": no locale changes a byte.
    char number[kFixedMaxChars];
    std::string line = "bestResult=";
    line.append(number, formatFixed6(bestResult, number));
    line += " best matching freq.=";
    line.append(number, formatWhole(bestFreq, number));
    return line;
}

}  // namespace tonalyx::detail
