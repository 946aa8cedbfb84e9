// The page's own part of its module, beside the library's C interface: the
// status a shell sees of the console for a library status, so that the
// page's table holds what tonalyx-batch writes.
#include "common/exit_status.h"

extern "C" int tonalyx_page_exit_status(int status)
{
    return tonalyx::console::exitStatusOf(status) & 0xff;
}
