// The measurement of one input: the reader, then the tone.
#include <memory>
#include <string>

#include "common/fixed_format.h"
#include "core/run_driver.h"
#include "measure/measure_tone.h"
#include "recording/recording.h"
#include "tonalyx/tonalyx.hpp"

namespace tonalyx {

namespace {

// "60": kMaxSeconds as the notes print it (not by std::to_string, whose
// digit table a shared library would export).
std::string wholeSeconds()
{
    char digits[32];
    return std::string(digits, formatWhole(static_cast<std::uint64_t>(recording::kMaxSeconds), digits));
}

}  // namespace

Measurement measure(ByteSource& source, std::string_view name, const MeasureOptions& options)
{
    Measurement result;
    recording::Recording recording;
    const recording::ReadOutcome outcome = recording::readRecording(source, recording);
    const std::string shown = escapeControls(name);
    if (outcome.status != Status::ok) {
        result.status = outcome.status;
        result.messages.push_back(
            {Stream::err, "ERROR: cannot measure " + shown + ": " + escapeControls(outcome.error) + "\n"});
        return result;
    }
    if (recording.cutShort)
        result.messages.push_back({Stream::err, "NOTE: " + shown + " is longer than " + wholeSeconds() +
                                                    " s; measured over its first " + wholeSeconds() + " s\n"});
    if (recording.cutShort)
        result.cut = recording::kMaxSeconds;
    measurement::measureTone(recording, options, result);
    return result;
}

Measurement measureFile(const std::string& path, const MeasureOptions& options)
{
    const std::unique_ptr<FileSource> source = FileSource::open(path);
    if (!source) {
        Measurement result;
        result.status = Status::cannotOpen;
        result.messages.push_back({Stream::out, notFoundLine(path)});
        return result;
    }
    return measure(*source, path, options);
}

}  // namespace tonalyx
