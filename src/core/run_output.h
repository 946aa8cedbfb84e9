// What one run prints: trace lines, messages, the listing and the result,
// handed in order to the caller's sink and kept in the report as asked.
// Nothing here writes to standard output or standard error.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "tonalyx/tonalyx.hpp"

class RunOutput {
public:
    RunOutput(tonalyx::Report& report, tonalyx::OutputSink* sink, bool trace, bool keepTrace)
        : report_(report), sink_(sink), tracing_(trace || keepTrace), keepTrace_(keepTrace)
    {
    }

    bool tracing() const { return tracing_; }
    // Whether listing text has a reader at all.
    bool listingWanted() const { return sink_ != nullptr; }

    // printf-style; the line is formatted only when the trace is on.
    void trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void message(tonalyx::Stream stream, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void result(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void listing(std::string_view text);

private:
    void emit(tonalyx::Stream stream, tonalyx::OutputKind kind, std::string_view text);
    static std::string format(const char* format, va_list arguments);

    tonalyx::Report& report_;
    tonalyx::OutputSink* sink_;
    bool tracing_;
    bool keepTrace_;
};

// Trace lines go out only with -v; the arguments are not even evaluated
// without it.
#define TRACE(run, ...)                   \
    do {                                  \
        if ((run).out.tracing())          \
            (run).out.trace(__VA_ARGS__); \
    } while (0)
