// The C interface's calls that need no handle: versions, statuses, the
// candidates, the defaults and the length rule.
#include "api/api.h"
#include "tonalyx/tonalyx.h"

extern "C" {

unsigned tonalyx_version_number(void)
{
    return TONALYX_VERSION_NUMBER;
}

const char* tonalyx_version(void)
{
    return tonalyx::version();
}

const char* tonalyx_status_name(int status)
{
    if (status == TONALYX_NO_REPORT)
        return "no-report";
    if (status < TONALYX_OK || status > TONALYX_NO_DATA)
        return "";
    return tonalyx::statusName(static_cast<tonalyx::Status>(status));
}

size_t tonalyx_candidate_count(void)
{
    return tonalyx::kCandidateCount;
}

uint32_t tonalyx_candidate_at(size_t index)
{
    return tonalyx::candidateAt(index);
}

uint32_t tonalyx_default_length(void)
{
    return tonalyx::kDefaultLength;
}

double tonalyx_default_min_result(void)
{
    return tonalyx::kDefaultMinResult;
}

uint32_t tonalyx_length_from_text(const char* text)
{
    return text ? tonalyx::lengthFromText(text) : 0;
}

}  // extern "C"
