#include "cli/run.h"

#include <cstdio>
#include <cstring>

#include "cli/options.h"
#include "cli/pictures_text.h"
#include "cli/usage.h"
#include "cli/sample_listing.h"
#include "common/exit_status.h"
#include "api/api.h"

namespace {

void print(tonalyx::Stream stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream == tonalyx::Stream::err ? stderr : stdout);
}

int exitStatusOf(tonalyx::Status status)
{
    return tonalyx::console::exitStatusOf(static_cast<int>(status));
}

// What a run says goes straight to standard output, its messages to the
// stream the console gives their kind, and the slots to the listings
// asked for.
class ConsoleSink final : public tonalyx::OutputSink {
public:
    ConsoleSink(bool gnuplot = false, bool valuelist = false) : gnuplot_(gnuplot), valuelist_(valuelist) {}
    void write(tonalyx::OutputKind, std::string_view text) override { print(tonalyx::Stream::out, text); }
    void message(const tonalyx::Message& message) override
    {
        print(tonalyx::consoleStream(message.code), message.text);
    }
    void samples(const double* values, uint32_t count) override
    {
        listSamples(values, count, gnuplot_, valuelist_,
                    [](std::string_view text) { print(tonalyx::Stream::out, text); });
    }

private:
    bool gnuplot_, valuelist_;
};

void printMessages(const std::vector<tonalyx::Message>& messages)
{
    for (const tonalyx::Message& message : messages)
        print(tonalyx::consoleStream(message.code), message.text);
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
        return exitStatusOf(measurement.status);
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

int defaultRun(const Options& options)
{
    tonalyx::Settings settings;
    settings.length = options.length;
    settings.trace = options.verbose;
    settings.keepCandidates = false;  // only the best one is printed
    ConsoleSink sink(options.gnuplot, options.valuelist);
    const tonalyx::Report report = tonalyx::analyzeFile(options.fileName, settings, &sink);
    return exitStatusOf(report.status);
}

}  // namespace

int runTonalyx(int argc, const char* const* argv)
{
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
        status = tonalyx::console::kCommandLine;
        if (options.verbose)
            std::printf("last read pos=0\nreturn code=%d\n", status);
    } else if (options.hz) {
        status = measureRun(options);
    } else {
        status = defaultRun(options);
    }

    // Output that could not be written is no success. (A closed pipe ends
    // the run by its signal before this.)
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "ERROR: cannot write standard output\n");
        status = tonalyx::console::kWriteError;
    }
    return status;
}
