// The C interface's handles, shared by the files that make and read them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "api/api.h"
#include "tonalyx/tonalyx.h"

struct tonalyx_settings {
    tonalyx::Settings settings;
    tonalyx::MeasureOptions measure;
};

struct tonalyx_report {
    tonalyx::Report report;
    std::string resultLine;
};

struct tonalyx_measurement {
    tonalyx::Measurement measurement;
    std::string line;
    std::vector<std::string> segmentLines;
    std::vector<double> burstSpans;  // start, end, start, end, ...
};

namespace tonalyx::detail::capi {

// What NULL settings stand for.
const tonalyx_settings& settingsOrDefaults(const tonalyx_settings* settings);

// The handles holding a run's outcome, or nullptr when memory runs out.
tonalyx_report* wrapReport(Report&& report);
tonalyx_measurement* wrapMeasurement(Measurement&& measurement);

// A handle's message `index`; nullptr past the last.
inline const Message* messageAt(const std::vector<Message>& messages, std::size_t index)
{
    return index < messages.size() ? &messages[index] : nullptr;
}

// Runs `make` and gives its handle; nullptr when memory runs out, the
// only way a constructor of the C interface fails.
template <class Make>
auto orNullWhenOutOfMemory(Make make) noexcept -> decltype(make())
{
    try {
        return make();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace tonalyx::detail::capi
