#include "wave/read_fully.h"

#include "run/run_state.h"

namespace tonalyx::detail {

long readFully(RunState& run, void* buffer, size_t count)
{
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count && !run.readFailed) {
        const long n = run.source.read(out + done, count - done);
        if (n < 0) {
            run.readFailed = true;
            run.readError = run.source.errorText();
        }
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<long>(done);
}

}  // namespace tonalyx::detail
