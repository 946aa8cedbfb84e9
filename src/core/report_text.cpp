#include "analysis/result_line.h"
#include "api/api.h"

namespace tonalyx {

std::string resultLine(const Report& report)
{
    return detail::resultLine(report.bestResult, report.bestFreq);
}

const char* statusName(Status status)
{
    switch (status) {
    case Status::ok: return "ok";
    case Status::cannotOpen: return "cannot-open";
    case Status::readError: return "read-error";
    case Status::noData: return "no-data";
    }
    return "";
}

const char* version()
{
    return TONALYX_VERSION_STRING;
}

}  // namespace tonalyx
