// The run of one file, stage by stage, as the console, the batch runner,
// the Python module and the page all make it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/run_output.h"
#include "tonalyx/tonalyx.hpp"

// The codes a run ends with; the exit status is their unsigned 16-bit form.
enum RunCode : int16_t {
    kRunDone = 0,
    kRunCommandLine = -1,
    kRunCannotOpen = -2,
    kRunNoData = -3,
    kRunWriteError = -4,
    kRunReadError = -5,
};

tonalyx::Status statusOf(int16_t rc);

// The line that says a file cannot be opened, its name escaped; the
// default answer and the measurement print it alike.
std::string notFoundLine(std::string_view path);

// The two trace lines every run ends with.
void traceClosing(RunOutput& out, int32_t pos, int16_t rc);
