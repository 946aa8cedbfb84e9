#include <cstdio>

#include "tonalyx/tonalyx.hpp"

namespace tonalyx {

int exitCode(Status status)
{
    const auto code = static_cast<int>(status);
    return code == 0 ? 0 : 0xff00 | code;
}

std::string resultLine(const Report& report)
{
    char line[400];
    std::snprintf(line, sizeof line, "bestResult=%lf best matching freq.=%u", report.bestResult, report.bestFreq);
    return line;
}

const char* version()
{
    return TONALYX_VERSION;
}

}  // namespace tonalyx
