// The C interface to the default answer: a Report behind an opaque handle,
// with the strings it hands out kept alive in it. A NULL handle reads as
// an empty report whose status is TONALYX_NO_REPORT.
#include <new>

#include "core/c_handles.h"

namespace tonalyx::detail::capi {

tonalyx_report* wrapReport(Report&& report)
{
    auto* handle = new (std::nothrow) tonalyx_report{std::move(report), {}};
    if (handle && handle->report.hasResult)
        handle->resultLine = resultLine(handle->report);
    return handle;
}

}  // namespace tonalyx::detail::capi

namespace {

using tonalyx::detail::capi::orNullWhenOutOfMemory;
using tonalyx::detail::capi::settingsOrDefaults;
using tonalyx::detail::capi::wrapReport;

const tonalyx_report& reportOf(const tonalyx_report* report)
{
    static const tonalyx_report none{};
    return report ? *report : none;
}

}  // namespace

extern "C" {

tonalyx_report* tonalyx_analyze_file(const char* path, const tonalyx_settings* settings)
{
    return orNullWhenOutOfMemory(
        [&] { return wrapReport(tonalyx::analyzeFile(path ? path : "", settingsOrDefaults(settings).settings)); });
}

tonalyx_report* tonalyx_analyze_memory(const void* data, size_t size, const char* name,
                                       const tonalyx_settings* settings)
{
    return orNullWhenOutOfMemory([&] {
        tonalyx::MemorySource source(data, data ? size : 0);
        return wrapReport(tonalyx::analyze(source, name ? name : "", settingsOrDefaults(settings).settings));
    });
}

void tonalyx_report_free(tonalyx_report* report)
{
    delete report;
}

int tonalyx_report_status(const tonalyx_report* report)
{
    return report ? static_cast<int>(report->report.status) : TONALYX_NO_REPORT;
}

int tonalyx_report_has_result(const tonalyx_report* report)
{
    return reportOf(report).report.hasResult ? 1 : 0;
}

uint32_t tonalyx_report_freq(const tonalyx_report* report)
{
    return reportOf(report).report.bestFreq;
}

double tonalyx_report_result(const tonalyx_report* report)
{
    return reportOf(report).report.bestResult;
}

const char* tonalyx_report_result_line(const tonalyx_report* report)
{
    return reportOf(report).resultLine.c_str();
}

uint32_t tonalyx_report_length(const tonalyx_report* report)
{
    return reportOf(report).report.slotsAnalysed;
}

size_t tonalyx_report_candidate_count(const tonalyx_report* report)
{
    return reportOf(report).report.candidates.size();
}

void tonalyx_report_candidate(const tonalyx_report* report, size_t index, uint32_t* freq, double* result)
{
    const auto& candidates = reportOf(report).report.candidates;
    const bool held = index < candidates.size();
    if (freq)
        *freq = held ? candidates[index].freq : 0;
    if (result)
        *result = held ? candidates[index].result : 0.0;
}

size_t tonalyx_report_message_count(const tonalyx_report* report)
{
    return reportOf(report).report.messages.size();
}

const char* tonalyx_report_message(const tonalyx_report* report, size_t index, int* stream)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(reportOf(report).report.messages, index);
    if (stream)
        *stream = message && tonalyx::consoleStream(message->code) == tonalyx::Stream::err ? TONALYX_STDERR : TONALYX_STDOUT;
    return message ? message->text.c_str() : "";
}

int tonalyx_report_message_code(const tonalyx_report* report, size_t index)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(reportOf(report).report.messages, index);
    return message ? static_cast<int>(message->code) : 0;
}

uint32_t tonalyx_report_message_number(const tonalyx_report* report, size_t index)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(reportOf(report).report.messages, index);
    return message ? message->number : 0;
}

const char* tonalyx_report_message_detail(const tonalyx_report* report, size_t index)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(reportOf(report).report.messages, index);
    return message ? message->detail.c_str() : "";
}

const char* tonalyx_report_trace(const tonalyx_report* report)
{
    return reportOf(report).report.trace.c_str();
}

const double* tonalyx_report_samples(const tonalyx_report* report, size_t* count)
{
    const std::vector<double>& samples = reportOf(report).report.samples;
    if (count)
        *count = samples.size();
    return samples.empty() ? nullptr : samples.data();
}

const char* tonalyx_report_verdict(const tonalyx_report* report, double min_result, uint32_t expect)
{
    if (!report)
        return tonalyx::verdictName(tonalyx::Verdict::error);
    tonalyx::VerdictRules rules;
    rules.minResult = min_result;
    rules.expect = expect;
    return tonalyx::verdictName(tonalyx::verdictOf(report->report, rules));
}

}  // extern "C"
