// The measurement of one input: the reader, then the tone.
#include <memory>
#include <string>

#include "common/fixed_format.h"
#include "measure/measure_tone.h"
#include "recording/recording.h"
#include "api/api.h"

namespace tonalyx {

using namespace detail;  // the library's internals, in this file alone

namespace {

// Whole numbers as the notes print them (not by std::to_string, whose
// digit table a shared library would export).
std::string whole(std::uint64_t value)
{
    char digits[32];
    return std::string(digits, formatWhole(value, digits));
}

// "8.192": the frames kept, in seconds to the millisecond below.
std::string keptSeconds(std::uint64_t frames, std::uint32_t rate)
{
    std::string ms = whole(frames % rate * 1000 / rate);
    ms.insert(0, 3 - ms.size(), '0');
    return whole(frames / rate) + "." + ms;
}

// Why only the first part was kept: the minute, or the room for samples.
std::string cutNote(const std::string& shown, const recording::Recording& recording)
{
    const std::uint64_t frames = recording.frames();
    if (frames == static_cast<std::uint64_t>(recording::kMaxSeconds) * recording.sampleRate) {
        const std::string limit = whole(static_cast<std::uint64_t>(recording::kMaxSeconds));
        return "NOTE: " + shown + " is longer than " + limit + " s; measured over its first " + limit + " s\n";
    }
    return "NOTE: " + shown + " holds more samples than " + whole(recording::kMaxSampleBytes >> 20) +
           " MiB take; measured over its first " + keptSeconds(frames, recording.sampleRate) + " s\n";
}

}  // namespace

Measurement measure(ByteSource& source, std::string_view name, const MeasureOptions& options)
{
    Measurement result;
    recording::Recording recording;
    measurement::ChannelTracks tracks;
    const recording::ReadOutcome outcome = recording::readRecording(source, recording, tracks);
    const std::string shown = escapeControls(name);
    if (outcome.status != Status::ok) {
        result.status = outcome.status;
        result.messages.push_back(
            {"ERROR: cannot measure " + shown + ": " + escapeControls(outcome.error) + "\n",
             MessageCode::cannotMeasure, 0, outcome.error});
        return result;
    }
    if (!outcome.note.empty())
        result.messages.push_back(
            {"NOTE: " + shown + ": " + outcome.note + "\n", MessageCode::formatNote, 0, outcome.note});
    if (recording.cutShort) {
        result.messages.push_back({cutNote(shown, recording), MessageCode::cutShort, 0, {}});
        result.cut = static_cast<double>(recording.frames()) / recording.sampleRate;
    }
    measurement::measureTone(recording, tracks, options, result);
    if (recording.reread && recording.reread->failed()) {
        // What was read again differed from the first reading: no result
        // from frames that may not be the file's.
        const std::string error = recording.reread->error();
        result = Measurement{};
        result.status = Status::readError;
        result.messages.push_back({"ERROR: cannot measure " + shown + ": " + escapeControls(error) + "\n",
                                   MessageCode::cannotMeasure, 0, error});
    }
    return result;
}

Measurement measureFile(const std::string& path, const MeasureOptions& options)
{
    std::string whyNot;
    const std::unique_ptr<FileSource> source = FileSource::open(path, whyNot);
    if (!source) {
        Measurement result;
        result.status = Status::cannotOpen;
        result.messages.push_back(
            {"ERROR: cannot open " + escapeControls(path) + ": " + escapeControls(whyNot) + "\n",
             MessageCode::cannotOpen, 0, whyNot});
        return result;
    }
    return measure(*source, path, options);
}

}  // namespace tonalyx
