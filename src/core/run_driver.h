// The run of one file, stage by stage, as the console, the batch runner,
// the Python module and the page all make it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "api/api.h"
#include "run/run_output.h"

namespace tonalyx::detail {

// The line that says a file cannot be opened, its name escaped; the
// default answer and the measurement print it alike.
std::string notFoundLine(std::string_view path);

// The two trace lines every run ends with.
void traceClosing(RunOutput& out, int32_t pos, tonalyx::Status status);

}  // namespace tonalyx::detail
