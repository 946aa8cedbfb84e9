// What one run prints: trace lines, messages, the listing and the result,
// handed in order to the caller's sink and kept in the report as asked.
// Nothing here writes to standard output or standard error.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

#include "api/api.h"

namespace tonalyx::detail {

class RunOutput {
public:
    RunOutput(tonalyx::Report& report, tonalyx::OutputSink* sink, bool trace, bool keepTrace)
        : report_(report), sink_(sink), tracing_(trace || keepTrace), keepTrace_(keepTrace)
    {
    }

    bool tracing() const { return tracing_; }

    // printf-style, by the project's own formatter (common/text_format.h),
    // so no locale changes a byte; the line is formatted only when the
    // trace is on.
    void trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A message of `code` with its fields, and its text as printed.
    void message(tonalyx::MessageCode code, std::uint32_t number, std::string_view detail, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    void result(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The scaled slots, to the sink.
    void samples(const double* values, std::uint32_t count)
    {
        if (sink_)
            sink_->samples(values, count);
    }

private:
    void emit(tonalyx::OutputKind kind, std::string_view text);
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

}  // namespace tonalyx::detail
