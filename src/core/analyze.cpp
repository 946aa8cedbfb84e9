#include <memory>

#include "analysis/analysis.h"
#include "common/exit_status.h"
#include "common/tick_clock.h"
#include "core/run_driver.h"
#include "run/run_state.h"
#include "wave/wave_reader.h"

namespace tonalyx::detail {

namespace {

constexpr uint64_t kFormatChunkOffset = 12;

// The readers' results are counted as their low 16 bits, unsigned: a
// result of -1 adds 65535.
int32_t addLow16(int32_t pos, int result)
{
    return static_cast<int32_t>(static_cast<uint32_t>(pos) + static_cast<uint16_t>(result));
}

// A read error ends the run at once: what was read so far proves nothing.
tonalyx::Status readFailure(RunState& run, std::string_view name)
{
    const std::string shown = tonalyx::escapeControls(name);
    const std::string why = tonalyx::escapeControls(run.readError);
    run.out.message(tonalyx::MessageCode::readFailed, 0, run.readError, "ERROR: cannot read %s: %s\n", shown.c_str(), why.c_str());
    return tonalyx::Status::readError;
}

// The stages of a run on the open input, each once, in their order.
// Returns how it ended.
tonalyx::Status runStages(RunState& run, std::string_view name, int32_t& pos, uint32_t length, uint32_t startTick,
                  tonalyx::Report& report)
{
    pos = addLow16(pos, readMainChunk(run));
    if (run.readFailed)
        return readFailure(run, name);
    TRACE(run, "after main chunk read pos=%d 0x%x\n", pos, static_cast<uint32_t>(pos));
    TRACE(run, "\n");

    run.source.seek(kFormatChunkOffset);  // on a pipe this fails; reading goes on where it is
    const auto formatBytes = static_cast<uint16_t>(readSubChunk(run));
    if (run.readFailed)
        return readFailure(run, name);
    pos = addLow16(pos, formatBytes);
    TRACE(run, "data chunk: %d bytes read\n", static_cast<int>(formatBytes));
    TRACE(run, "after format chunk read pos=%d 0x%x\n", pos, static_cast<uint32_t>(pos));
    TRACE(run, "\n");

    readDataFrames(run, &pos, length);
    if (run.readFailed)
        return readFailure(run, name);

    // A run that found no samples must never report a frequency, and no
    // stage may read slots that were never loaded.
    if (run.loadedSlots == 0) {
        run.out.message(tonalyx::MessageCode::noData, 0, {}, "ERROR: no sample data loaded\n");
        return tonalyx::Status::noData;
    }
    if (run.loadedSlots < length) {
        run.out.message(tonalyx::MessageCode::lengthReduced, run.loadedSlots, {},
                        "WARNING: length reduced to %u, the number of sample slots loaded!\n", run.loadedSlots);
        length = run.loadedSlots;
    }
    report.slotsAnalysed = length;

    normalizeData(run);
    run.out.samples(run.samples.data(), length);
    sweepFrequencies(run, length);
    report.hasResult = true;
    report.bestFreq = run.bestFreq;
    report.bestResult = run.bestResult;

    report.elapsedMs = getTickCount() - startTick;
    run.out.result("time=%u\n", report.elapsedMs);
    return tonalyx::Status::ok;
}

uint32_t checkedLength(uint32_t length, RunOutput& out)
{
    if (length > tonalyx::kMaxLength || length == 0) {
        out.message(tonalyx::MessageCode::lengthRestricted, tonalyx::kMaxLength, {},
                    "WARNING: length restricte to 4096!\n");
        return tonalyx::kMaxLength;
    }
    return length;
}

// Everything after the checks: the stages on the open input, then closing.
void runOnSource(tonalyx::ByteSource& source, std::string_view name, const tonalyx::Settings& settings,
                 uint32_t length, uint32_t startTick, RunOutput& out, tonalyx::Report& report)
{
    RunState run(source, out);
    if (settings.keepCandidates)
        run.candidates = &report.candidates;
    int32_t pos = 0;
    report.status = runStages(run, name, pos, length, startTick, report);
    if (settings.keepSamples && report.status == tonalyx::Status::ok)
        report.samples.assign(run.samples.begin(), run.samples.begin() + report.slotsAnalysed);
    traceClosing(out, pos, report.status);
}

}  // namespace

std::string notFoundLine(std::string_view path)
{
    return "ERROR: Inp.wave file not found: " + tonalyx::escapeControls(path) + "\n";
}

void traceClosing(RunOutput& out, int32_t pos, tonalyx::Status status)
{
    if (!out.tracing())
        return;
    out.trace("last read pos=%d\n", pos);
    out.trace("return code=%d\n", static_cast<int>(tonalyx::console::exitStatusOf(static_cast<int>(status))));
}

}  // namespace tonalyx::detail

namespace tonalyx {

using namespace detail;  // the stages above, in this file alone

Report analyze(ByteSource& source, std::string_view name, const Settings& settings, OutputSink* sink)
{
    const uint32_t startTick = getTickCount();
    Report report;
    RunOutput out(report, sink, settings.trace, settings.keepTrace);
    const uint32_t length = checkedLength(settings.length, out);
    runOnSource(source, name, settings, length, startTick, out, report);
    return report;
}

Report analyzeFile(const std::string& path, const Settings& settings, OutputSink* sink)
{
    const uint32_t startTick = getTickCount();
    Report report;
    RunOutput out(report, sink, settings.trace, settings.keepTrace);
    const uint32_t length = checkedLength(settings.length, out);
    const std::unique_ptr<FileSource> source = FileSource::open(path);
    if (!source) {
        out.message(MessageCode::notFound, 0, path, "%s", notFoundLine(path).c_str());
        report.status = Status::cannotOpen;
        traceClosing(out, 0, report.status);
        return report;
    }
    runOnSource(*source, path, settings, length, startTick, out, report);
    return report;
}

}  // namespace tonalyx
