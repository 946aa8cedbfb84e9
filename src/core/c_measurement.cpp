// The C interface to the measurement: a Measurement behind an opaque
// handle, with the strings it hands out kept alive in it.
#include <new>

#include "core/c_messages.h"
#include "tonalyx/tonalyx.h"
#include "tonalyx/tonalyx.hpp"

struct tonalyx_measurement {
    tonalyx::Measurement measurement;
    std::string line;
};

namespace {

tonalyx_measurement* wrap(tonalyx::Measurement&& measurement)
{
    auto* handle = new (std::nothrow) tonalyx_measurement{std::move(measurement), {}};
    if (handle)
        handle->line = tonalyx::measurementLine(handle->measurement);
    return handle;
}

}  // namespace

extern "C" {

tonalyx_measurement* tonalyx_measure_file(const char* path)
{
    try {
        return wrap(tonalyx::measureFile(path ? path : ""));
    } catch (...) {
        return nullptr;  // out of memory
    }
}

tonalyx_measurement* tonalyx_measure_memory(const void* data, size_t size, const char* name)
{
    try {
        tonalyx::MemorySource source(data, data ? size : 0);
        return wrap(tonalyx::measure(source, name ? name : ""));
    } catch (...) {
        return nullptr;
    }
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
