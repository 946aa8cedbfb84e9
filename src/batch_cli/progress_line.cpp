#include "batch_cli/progress_line.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tonalyx::batch_cli {

namespace {
constexpr auto kInterval = std::chrono::milliseconds(100);  // 10 updates a second at most
}

bool stderrIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

bool stdoutIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

bool ProgressLine::due() const
{
    return enabled_ && std::chrono::steady_clock::now() - last_ >= kInterval;
}

void ProgressLine::show(const std::string& text)
{
    if (!enabled_)
        return;
    std::string line(1, '\r');
    line += text;
    if (text.size() < width_)
        line.append(width_ - text.size(), ' ');  // over the rest of a longer text
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    width_ = text.size();
    last_ = std::chrono::steady_clock::now();
}

void ProgressLine::clear()
{
    if (width_ == 0)
        return;
    // Appended, not "\r" + ...: g++ 12 warns wrongly (-Wrestrict) on that.
    std::string blank(1, '\r');
    blank.append(width_, ' ');
    blank += '\r';
    std::fputs(blank.c_str(), stderr);
    std::fflush(stderr);
    width_ = 0;
}

}  // namespace tonalyx::batch_cli
