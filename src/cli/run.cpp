#include "cli/run.h"

#include <cstdio>
#include <cstring>

#include "cli/options.h"
#include "cli/pictures_text.h"
#include "cli/usage.h"
#include "common/tick_clock.h"
#include "core/run_driver.h"
#include "tonalyx/tonalyx.hpp"

namespace {

// What a run prints goes straight to standard output and standard error.
class ConsoleSink final : public tonalyx::OutputSink {
public:
    void write(tonalyx::Stream stream, tonalyx::OutputKind, std::string_view text) override
    {
        std::fwrite(text.data(), 1, text.size(), stream == tonalyx::Stream::err ? stderr : stdout);
    }
};

void printMessages(const std::vector<tonalyx::Message>& messages)
{
    ConsoleSink sink;
    for (const tonalyx::Message& message : messages)
        sink.write(message.stream, tonalyx::OutputKind::message, message.text);
}

// -hz: the measurement's line (with -pictures, the plots' data after it);
// 0 with a tone, 1 without one.
int measureRun(const Options& options)
{
    tonalyx::MeasureOptions measureOptions;
    measureOptions.pictures = options.pictures;
    measureOptions.segments = options.segments;
    const tonalyx::Measurement measurement = tonalyx::measureFile(options.fileName, measureOptions);
    printMessages(measurement.messages);
    if (measurement.status != tonalyx::Status::ok)
        return tonalyx::exitCode(measurement.status);
    std::string line;
    if (options.segments)
        for (const tonalyx::Segment& segment : measurement.segments)
            line += tonalyx::segmentLine(segment) + "\n";
    line += tonalyx::measurementLine(measurement) + "\n";
    if (options.pictures)
        line += picturesText(measurement.pictures);
    std::fwrite(line.data(), 1, line.size(), stdout);
    return measurement.hasTone ? 0 : 1;
}

int defaultRun(const Options& options, uint32_t startTick)
{
    tonalyx::Settings settings;
    settings.length = static_cast<uint32_t>(options.length);
    settings.trace = options.verbose;
    settings.gnuplot = options.gnuplot;
    settings.valuelist = options.valuelist;
    settings.keepCandidates = false;  // only the best one is printed
    settings.startTick = startTick;
    ConsoleSink sink;
    const tonalyx::Report report = tonalyx::analyzeFile(options.fileName, settings, &sink);
    return tonalyx::exitCode(report.status);
}

}  // namespace

int runTonalyx(int argc, const char* const* argv)
{
    const uint32_t startTick = getTickCount();
    std::clearerr(stdout);
    const Options options = readOptions(argc, argv);

    int status;
    if (argc == 3 && std::strcmp(argv[1], "-escape") == 0) {
        // Not in the usage: TEXT as the tools print names, control
        // characters escaped, for the helper scripts (tonalyx-plot).
        const std::string shown = tonalyx::escapeControls(argv[2]) + "\n";
        std::fwrite(shown.data(), 1, shown.size(), stdout);
        status = 0;
    } else if (options.fileName.empty()) {
        std::printf("ERROR: command line not correct (\"-i\" missing?)\n");
        usage();
        // The length is not checked then; the closing trace ends the run.
        ConsoleSink sink;
        tonalyx::Report unused;
        RunOutput out(unused, &sink, options.verbose, false);
        traceClosing(out, 0, kRunCommandLine);
        status = static_cast<uint16_t>(kRunCommandLine);
    } else if (options.hz) {
        status = measureRun(options);
    } else {
        status = defaultRun(options, startTick);
    }

    // Output that could not be written is no success. (A closed pipe ends
    // the run by its signal before this.)
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "ERROR: cannot write standard output\n");
        status = tonalyx::exitCode(tonalyx::Status::writeError);
    }
    return status;
}
