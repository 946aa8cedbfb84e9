// The console's exit statuses: 0, or the 16-bit code a run of tonalyx ends
// with (65535 for a command line without -i, ...), whose low byte (255,
// ...) a POSIX shell sees. One table for the programs, the page's module
// and the transcript's "return code=" line.
#pragma once

#include <cstdint>

#include "tonalyx/tonalyx.h"

namespace tonalyx::console {

enum ExitStatus : std::uint16_t {
    kDone = 0,
    kCommandLine = 0xffff,  // no -i file
    kCannotOpen = 0xfffe,
    kNoData = 0xfffd,
    kWriteError = 0xfffc,  // standard output could not be written
    kReadError = 0xfffb,
};

// For a run that ended with `status` (TONALYX_OK, TONALYX_CANNOT_OPEN, ...).
constexpr std::uint16_t exitStatusOf(int status)
{
    switch (status) {
    case TONALYX_OK: return kDone;
    case TONALYX_CANNOT_OPEN: return kCannotOpen;
    case TONALYX_READ_ERROR: return kReadError;
    case TONALYX_NO_DATA: return kNoData;
    default: return kCommandLine;  // no run at all
    }
}

}  // namespace tonalyx::console
