// A line on standard error, rewritten in place (carriage return, no
// terminal escapes) while the batch runs.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace tonalyx::batch_cli {

// Whether standard error, standard output is a terminal.
bool stderrIsTerminal();
bool stdoutIsTerminal();

class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : enabled_(enabled) {}
    // Time for a new text: enabled, and the last one shown 0.1 s ago or more.
    bool due() const;
    void show(const std::string& text);
    // Blanks the line and puts the cursor at its start, for other lines.
    void clear();

private:
    bool enabled_;
    std::size_t width_ = 0;  // of the text shown, 0 for none
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace tonalyx::batch_cli
