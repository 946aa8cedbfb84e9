// The C interface to the default answer: a Report behind an opaque handle,
// with the strings it hands out kept alive in it.
#include <new>

#include "core/c_messages.h"
#include "tonalyx/tonalyx.h"
#include "tonalyx/tonalyx.hpp"

struct tonalyx_report {
    tonalyx::Report report;
    std::string resultLine;
};

namespace {

tonalyx::Settings settingsFrom(const tonalyx_settings* given)
{
    const tonalyx_settings plain = tonalyx_default_settings();
    const tonalyx_settings& c = given ? *given : plain;
    tonalyx::Settings settings;
    settings.length = c.length;
    settings.keepTrace = c.trace != 0;
    settings.keepSamples = c.keep_samples != 0;
    return settings;
}

tonalyx_report* wrap(tonalyx::Report&& report)
{
    auto* handle = new (std::nothrow) tonalyx_report{std::move(report), {}};
    if (handle)
        handle->resultLine = tonalyx::resultLine(handle->report);
    return handle;
}

}  // namespace

extern "C" {

tonalyx_settings tonalyx_default_settings(void)
{
    return tonalyx_settings{tonalyx::kDefaultLength, 0, 0};
}

tonalyx_report* tonalyx_analyze_file(const char* path, const tonalyx_settings* settings)
{
    try {
        return wrap(tonalyx::analyzeFile(path ? path : "", settingsFrom(settings)));
    } catch (...) {
        return nullptr;  // out of memory
    }
}

tonalyx_report* tonalyx_analyze_memory(const void* data, size_t size, const char* name,
                                       const tonalyx_settings* settings)
{
    try {
        tonalyx::MemorySource source(data, data ? size : 0);
        return wrap(tonalyx::analyze(source, name ? name : "", settingsFrom(settings)));
    } catch (...) {
        return nullptr;
    }
}

void tonalyx_report_free(tonalyx_report* report)
{
    delete report;
}

int tonalyx_report_status(const tonalyx_report* report)
{
    return static_cast<int>(report->report.status);
}

int tonalyx_report_has_result(const tonalyx_report* report)
{
    return report->report.hasResult ? 1 : 0;
}

uint32_t tonalyx_report_freq(const tonalyx_report* report)
{
    return report->report.bestFreq;
}

double tonalyx_report_result(const tonalyx_report* report)
{
    return report->report.bestResult;
}

const char* tonalyx_report_result_line(const tonalyx_report* report)
{
    return report->resultLine.c_str();
}

size_t tonalyx_report_candidate_count(const tonalyx_report* report)
{
    return report->report.candidates.size();
}

void tonalyx_report_candidate(const tonalyx_report* report, size_t index, uint32_t* freq, double* result)
{
    const auto& candidates = report->report.candidates;
    const bool held = index < candidates.size();
    if (freq)
        *freq = held ? candidates[index].freq : 0;
    if (result)
        *result = held ? candidates[index].result : 0.0;
}

size_t tonalyx_report_message_count(const tonalyx_report* report)
{
    return report->report.messages.size();
}

const char* tonalyx_report_message(const tonalyx_report* report, size_t index, int* stream)
{
    return cMessageAt(report->report.messages, index, stream);
}

const char* tonalyx_report_trace(const tonalyx_report* report)
{
    return report->report.trace.c_str();
}

const double* tonalyx_report_samples(const tonalyx_report* report, size_t* count)
{
    if (count)
        *count = report->report.samples.size();
    return report->report.samples.data();
}

const char* tonalyx_report_verdict(const tonalyx_report* report, double min_result, uint32_t expect)
{
    tonalyx::VerdictRules rules;
    rules.minResult = min_result;
    rules.expect = expect;
    return tonalyx::verdictName(tonalyx::verdictOf(report->report, rules));
}

const char* tonalyx_version(void)
{
    return tonalyx::version();
}

}  // extern "C"
