#include "batch_cli/checked_output.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace tonalyx::batch_cli {

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;
}

CheckedOutput::CheckedOutput()
{
    // Rows are many and short: one write per full buffer, not per row.
    std::setvbuf(stdout, nullptr, _IOFBF, kBufferBytes);
}

void CheckedOutput::fail(int error)
{
    if (failed_)
        return;
    failed_ = true;
    errorText_ = error != 0 ? std::generic_category().message(error) : "write error";
}

bool CheckedOutput::write(std::string_view text)
{
    if (failed_)
        return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::ferror(stdout) != 0)
        fail(errno);
    return !failed_;
}

bool CheckedOutput::flush()
{
    if (failed_)
        return false;
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0)
        fail(errno);
    return !failed_;
}

}  // namespace tonalyx::batch_cli
