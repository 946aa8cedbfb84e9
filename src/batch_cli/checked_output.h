// Standard output written with every write checked: a full disk, a closed
// pipe (SIGPIPE ignored, so EPIPE) or /dev/full is never taken for success.
#pragma once

#include <string>
#include <string_view>

namespace tonalyx::batch_cli {

class CheckedOutput {
public:
    CheckedOutput();
    // False once any write or flush has failed; later writes do nothing.
    bool write(std::string_view text);
    bool flush();
    bool failed() const { return failed_; }
    // The system's words for the first failure.
    const std::string& errorText() const { return errorText_; }

private:
    void fail(int error);
    bool failed_ = false;
    std::string errorText_;
};

}  // namespace tonalyx::batch_cli
