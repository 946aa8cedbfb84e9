// The C interface to the measurement: a Measurement behind an opaque
// handle, with the strings it hands out kept alive in it.
#include <new>
#include <string>
#include <vector>

#include "core/c_messages.h"
#include "core/callback_source.h"
#include "tonalyx/tonalyx.h"
#include "tonalyx/tonalyx.hpp"

struct tonalyx_measurement {
    tonalyx::Measurement measurement;
    std::string line;
    std::vector<std::string> segmentLines;
    std::vector<double> burstSpans;  // start, end, start, end, ...
};

namespace {

tonalyx_measurement* wrap(tonalyx::Measurement&& measurement)
{
    auto* handle = new (std::nothrow) tonalyx_measurement{std::move(measurement), {}, {}, {}};
    if (!handle)
        return nullptr;
    try {
        handle->line = tonalyx::measurementLine(handle->measurement);
        for (const tonalyx::Segment& segment : handle->measurement.segments)
            handle->segmentLines.push_back(tonalyx::segmentLine(segment));
        for (const auto& [start, end] : handle->measurement.pictures.bursts) {
            handle->burstSpans.push_back(start);
            handle->burstSpans.push_back(end);
        }
    } catch (...) {
        delete handle;
        return nullptr;
    }
    return handle;
}

tonalyx::MeasureOptions optionsOf(unsigned flags)
{
    tonalyx::MeasureOptions options;
    options.pictures = (flags & TONALYX_MEASURE_PICTURES) != 0;
    return options;
}

const double* arrayOf(const std::vector<double>& values, size_t* count)
{
    if (count)
        *count = values.size();
    return values.empty() ? nullptr : values.data();
}

}  // namespace

extern "C" {

tonalyx_measurement* tonalyx_measure_file_with(const char* path, unsigned flags)
{
    try {
        return wrap(tonalyx::measureFile(path ? path : "", optionsOf(flags)));
    } catch (...) {
        return nullptr;  // out of memory
    }
}

tonalyx_measurement* tonalyx_measure_memory_with(const void* data, size_t size, const char* name, unsigned flags)
{
    try {
        tonalyx::MemorySource source(data, data ? size : 0);
        return wrap(tonalyx::measure(source, name ? name : "", optionsOf(flags)));
    } catch (...) {
        return nullptr;
    }
}

tonalyx_measurement* tonalyx_measure_callbacks(long (*read)(void* user, void* buffer, size_t count),
                                               int (*seek)(void* user, uint64_t offset), void* user,
                                               const char* name, unsigned flags)
{
    try {
        tonalyx::CallbackSource source(read, seek, user);
        return wrap(tonalyx::measure(source, name ? name : "", optionsOf(flags)));
    } catch (...) {
        return nullptr;
    }
}

tonalyx_measurement* tonalyx_measure_file(const char* path)
{
    return tonalyx_measure_file_with(path, 0);
}

tonalyx_measurement* tonalyx_measure_memory(const void* data, size_t size, const char* name)
{
    return tonalyx_measure_memory_with(data, size, name, 0);
}

void tonalyx_measurement_free(tonalyx_measurement* measurement)
{
    delete measurement;
}

int tonalyx_measurement_status(const tonalyx_measurement* m)
{
    return static_cast<int>(m->measurement.status);
}

uint32_t tonalyx_measurement_tone(const tonalyx_measurement* m)
{
    return m->measurement.hasTone ? m->measurement.tone : 0;
}

double tonalyx_measurement_measured(const tonalyx_measurement* m)
{
    return m->measurement.measured;
}

double tonalyx_measurement_purity(const tonalyx_measurement* m)
{
    return m->measurement.purity;
}

double tonalyx_measurement_level(const tonalyx_measurement* m)
{
    return m->measurement.level;
}

double tonalyx_measurement_start(const tonalyx_measurement* m)
{
    return m->measurement.start;
}

double tonalyx_measurement_end(const tonalyx_measurement* m)
{
    return m->measurement.end;
}

uint32_t tonalyx_measurement_channel(const tonalyx_measurement* m)
{
    return m->measurement.channel;
}

double tonalyx_measurement_thd(const tonalyx_measurement* m)
{
    return m->measurement.thd;
}

double tonalyx_measurement_snr(const tonalyx_measurement* m)
{
    return m->measurement.snr;
}

double tonalyx_measurement_drift(const tonalyx_measurement* m)
{
    return m->measurement.drift;
}

uint32_t tonalyx_measurement_bursts(const tonalyx_measurement* m)
{
    return m->measurement.bursts;
}

const char* tonalyx_measurement_reason(const tonalyx_measurement* m)
{
    return m->measurement.hasTone ? "" : tonalyx::reasonName(m->measurement.reason);
}

double tonalyx_measurement_cut(const tonalyx_measurement* m)
{
    return m->measurement.cut;
}

size_t tonalyx_measurement_segment_count(const tonalyx_measurement* m)
{
    return m->segmentLines.size();
}

const char* tonalyx_measurement_segment_line(const tonalyx_measurement* m, size_t index)
{
    return index < m->segmentLines.size() ? m->segmentLines[index].c_str() : "";
}

void tonalyx_measurement_segment(const tonalyx_measurement* m, size_t index, double* start, double* end,
                                 uint32_t* tone, double* measured, double* purity, double* level)
{
    const tonalyx::Segment segment =
        index < m->measurement.segments.size() ? m->measurement.segments[index] : tonalyx::Segment{};
    if (start)
        *start = segment.start;
    if (end)
        *end = segment.end;
    if (tone)
        *tone = segment.hasTone ? segment.tone : 0;
    if (measured)
        *measured = segment.measured;
    if (purity)
        *purity = segment.purity;
    if (level)
        *level = segment.level;
}

const double* tonalyx_measurement_spectrum(const tonalyx_measurement* m, double* bin_hz, size_t* count)
{
    if (bin_hz)
        *bin_hz = m->measurement.pictures.spectrumBinHz;
    return arrayOf(m->measurement.pictures.spectrumDb, count);
}

const double* tonalyx_measurement_envelope(const tonalyx_measurement* m, double* block_seconds, size_t* count)
{
    if (block_seconds)
        *block_seconds = m->measurement.pictures.envelopeSeconds;
    return arrayOf(m->measurement.pictures.envelopeDb, count);
}

const double* tonalyx_measurement_harmonics(const tonalyx_measurement* m, size_t* count)
{
    return arrayOf(m->measurement.pictures.harmonicsHz, count);
}

const double* tonalyx_measurement_hum(const tonalyx_measurement* m, size_t* count)
{
    return arrayOf(m->measurement.pictures.humHz, count);
}

const double* tonalyx_measurement_burst_spans(const tonalyx_measurement* m, size_t* count)
{
    const double* values = arrayOf(m->burstSpans, count);
    if (count)
        *count /= 2;
    return values;
}

const char* tonalyx_measurement_verdict(const tonalyx_measurement* m, double min_purity, double min_level,
                                        double tolerance, int32_t expect)
{
    tonalyx::VerdictRules rules;
    rules.hz = true;
    rules.minPurity = min_purity;
    if (min_level > -1e300)
        rules.minLevel = min_level;
    rules.tolerance = tolerance;
    rules.expectNone = expect < 0;
    rules.expect = expect > 0 ? static_cast<std::uint32_t>(expect) : 0;
    return tonalyx::verdictName(tonalyx::verdictOf(m->measurement, rules));
}

const char* tonalyx_measurement_line(const tonalyx_measurement* m)
{
    return m->line.c_str();
}

size_t tonalyx_measurement_message_count(const tonalyx_measurement* m)
{
    return m->measurement.messages.size();
}

const char* tonalyx_measurement_message(const tonalyx_measurement* m, size_t index, int* stream)
{
    return cMessageAt(m->measurement.messages, index, stream);
}

}  // extern "C"
