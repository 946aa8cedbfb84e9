// The C interface to the measurement: a Measurement behind an opaque
// handle, with the strings it hands out kept alive in it. A NULL handle
// reads as an empty measurement whose status is TONALYX_NO_REPORT.
#include <new>
#include <string>
#include <vector>

#include "core/c_handles.h"

namespace tonalyx::detail::capi {

tonalyx_measurement* wrapMeasurement(Measurement&& measurement)
{
    auto* handle = new (std::nothrow) tonalyx_measurement{std::move(measurement), {}, {}, {}};
    if (!handle)
        return nullptr;
    try {
        handle->line = measurementLine(handle->measurement);
        for (const Segment& segment : handle->measurement.segments)
            handle->segmentLines.push_back(segmentLine(segment));
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

}  // namespace tonalyx::detail::capi

namespace {

using tonalyx::detail::capi::orNullWhenOutOfMemory;
using tonalyx::detail::capi::wrapMeasurement;

const double* arrayOf(const std::vector<double>& values, size_t* count)
{
    if (count)
        *count = values.size();
    return values.empty() ? nullptr : values.data();
}

tonalyx::MeasureOptions optionsOf(unsigned flags)
{
    tonalyx::MeasureOptions options;
    options.pictures = (flags & TONALYX_MEASURE_PICTURES) != 0;
    return options;
}

const tonalyx_measurement& handleOf(const tonalyx_measurement* m)
{
    static const tonalyx_measurement none{};
    return m ? *m : none;
}

const tonalyx::Measurement& of(const tonalyx_measurement* m)
{
    return handleOf(m).measurement;
}

}  // namespace

extern "C" {

tonalyx_measurement* tonalyx_measure_file_with(const char* path, unsigned flags)
{
    return orNullWhenOutOfMemory([&] { return wrapMeasurement(tonalyx::measureFile(path ? path : "", optionsOf(flags))); });
}

tonalyx_measurement* tonalyx_measure_memory_with(const void* data, size_t size, const char* name, unsigned flags)
{
    return orNullWhenOutOfMemory([&] {
        tonalyx::MemorySource source(data, data ? size : 0);
        return wrapMeasurement(tonalyx::measure(source, name ? name : "", optionsOf(flags)));
    });
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
    return m ? static_cast<int>(of(m).status) : TONALYX_NO_REPORT;
}

uint32_t tonalyx_measurement_tone(const tonalyx_measurement* m)
{
    return of(m).hasTone ? of(m).tone : 0;
}

double tonalyx_measurement_measured(const tonalyx_measurement* m)
{
    return of(m).measured;
}

double tonalyx_measurement_purity(const tonalyx_measurement* m)
{
    return of(m).purity;
}

double tonalyx_measurement_level(const tonalyx_measurement* m)
{
    return of(m).level;
}

double tonalyx_measurement_start(const tonalyx_measurement* m)
{
    return of(m).start;
}

double tonalyx_measurement_end(const tonalyx_measurement* m)
{
    return of(m).end;
}

uint32_t tonalyx_measurement_channel(const tonalyx_measurement* m)
{
    return of(m).channel;
}

double tonalyx_measurement_thd(const tonalyx_measurement* m)
{
    return of(m).thd;
}

double tonalyx_measurement_snr(const tonalyx_measurement* m)
{
    return of(m).snr;
}

double tonalyx_measurement_drift(const tonalyx_measurement* m)
{
    return of(m).drift;
}

uint32_t tonalyx_measurement_bursts(const tonalyx_measurement* m)
{
    return of(m).bursts;
}

const char* tonalyx_measurement_reason(const tonalyx_measurement* m)
{
    return of(m).hasTone ? "" : tonalyx::reasonName(of(m).reason);
}

double tonalyx_measurement_cut(const tonalyx_measurement* m)
{
    return of(m).cut;
}

size_t tonalyx_measurement_segment_count(const tonalyx_measurement* m)
{
    return handleOf(m).segmentLines.size();
}

const char* tonalyx_measurement_segment_line(const tonalyx_measurement* m, size_t index)
{
    return index < handleOf(m).segmentLines.size() ? handleOf(m).segmentLines[index].c_str() : "";
}

void tonalyx_measurement_segment(const tonalyx_measurement* m, size_t index, double* start, double* end,
                                 uint32_t* tone, double* measured, double* purity, double* level)
{
    const tonalyx::Segment segment =
        index < of(m).segments.size() ? of(m).segments[index] : tonalyx::Segment{};
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
        *bin_hz = of(m).pictures.spectrumBinHz;
    return arrayOf(of(m).pictures.spectrumDb, count);
}

const double* tonalyx_measurement_envelope(const tonalyx_measurement* m, double* block_seconds, size_t* count)
{
    if (block_seconds)
        *block_seconds = of(m).pictures.envelopeSeconds;
    return arrayOf(of(m).pictures.envelopeDb, count);
}

const double* tonalyx_measurement_harmonics(const tonalyx_measurement* m, size_t* count)
{
    return arrayOf(of(m).pictures.harmonicsHz, count);
}

const double* tonalyx_measurement_hum(const tonalyx_measurement* m, size_t* count)
{
    return arrayOf(of(m).pictures.humHz, count);
}

const double* tonalyx_measurement_burst_spans(const tonalyx_measurement* m, size_t* count)
{
    const double* values = arrayOf(handleOf(m).burstSpans, count);
    if (count)
        *count /= 2;
    return values;
}

const char* tonalyx_measurement_verdict(const tonalyx_measurement* m, double min_purity, double min_level,
                                        double tolerance, int32_t expect)
{
    if (!m)
        return tonalyx::verdictName(tonalyx::Verdict::error);
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
    return handleOf(m).line.c_str();
}

size_t tonalyx_measurement_message_count(const tonalyx_measurement* m)
{
    return of(m).messages.size();
}

const char* tonalyx_measurement_message(const tonalyx_measurement* m, size_t index, int* stream)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(of(m).messages, index);
    if (stream)
        *stream = message && tonalyx::consoleStream(message->code) == tonalyx::Stream::err ? TONALYX_STDERR : TONALYX_STDOUT;
    return message ? message->text.c_str() : "";
}

int tonalyx_measurement_message_code(const tonalyx_measurement* m, size_t index)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(of(m).messages, index);
    return message ? static_cast<int>(message->code) : 0;
}

uint32_t tonalyx_measurement_message_number(const tonalyx_measurement* m, size_t index)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(of(m).messages, index);
    return message ? message->number : 0;
}

const char* tonalyx_measurement_message_detail(const tonalyx_measurement* m, size_t index)
{
    const tonalyx::Message* message = tonalyx::detail::capi::messageAt(of(m).messages, index);
    return message ? message->detail.c_str() : "";
}

}  // extern "C"
