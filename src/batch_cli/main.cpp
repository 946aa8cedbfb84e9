// tonalyx-batch: every file analysed in this process, on worker threads,
// one row per file in the order of the names.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "batch_cli/batch_options.h"
#include "batch_cli/checked_output.h"
#include "batch_cli/row_text.h"
#include "batch_cli/stop_signals.h"
#include "batch_cli/usage_text.h"
#include "tonalyx/tonalyx.hpp"

#ifdef _WIN32
#include "common/platform.h"
#endif

namespace {

using namespace tonalyx;
using namespace tonalyx::batch_cli;

constexpr int kAllOk = 0;
constexpr int kNotAllOk = 1;
constexpr int kUsageOrOutput = 2;

// Standard error is for people: a failed write there changes nothing.
void say(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
}

BatchOptions batchOptions(const BatchCommand& command)
{
    BatchOptions options;
    options.jobs = command.jobs;
    if (command.length)
        options.settings.length = *command.length;
    options.settings.keepCandidates = false;  // only the best result is printed
    options.rules.minResult = command.minResult;
    options.rules.expect = command.expect;
    options.rules.hz = command.hz;
    return options;
}

// Prints the paths that could not be searched; 2 when one is missing, 1
// when a folder could not be read, 0 when there is none.
int reportPathErrors(const BatchRun& run)
{
    int worst = kAllOk;
    for (const BatchPathError& error : run.pathErrors()) {
        say("tonalyx-batch: " + escapeTsv(error.path) + ": " + error.reason + "\n");
        worst = std::max(worst, error.missing ? kUsageOrOutput : kNotAllOk);
    }
    return worst;
}

int runBatch(const BatchCommand& command)
{
    ignoreBrokenPipe();
    BatchRun run(command.paths, batchOptions(command));
    const int pathStatus = reportPathErrors(run);
    if (pathStatus == kUsageOrOutput)
        return kUsageOrOutput;
    if (run.fileCount() == 0) {
        say("tonalyx-batch: no .wav files found\n");
        return kNotAllOk;
    }

    StopSignals signals([&run] { run.stop(); });
    CheckedOutput out;
    if (command.format == Format::tsv)
        out.write(tsvHeader(command.hz));
    bool allOk = pathStatus == kAllOk;
    BatchRow row;
    while (!out.failed() && run.next(row)) {
        out.write(command.format == Format::tsv ? tsvRow(row, command.hz) : jsonRow(row, command.hz));
        say(messageLines(row));
        allOk = allOk && row.verdict == Verdict::ok;
    }
    out.flush();
    run.stop();
    const int signal = signals.received();
    signals.finished();
    if (signal != 0)
        return 128 + signal;  // the workers are joined when `run` goes
    if (out.failed()) {
        say("tonalyx-batch: cannot write standard output: " + out.errorText() + "\n");
        return kUsageOrOutput;
    }
    return allOk ? kAllOk : kNotAllOk;
}

int runCommandLine(const std::vector<std::string>& words)
{
    const ParsedCommand parsed = parseBatchCommand(words);
    if (!parsed.error.empty() || parsed.usageOnly) {
        if (!parsed.error.empty())
            say("tonalyx-batch: " + parsed.error + "\n");
        say(kUsageLine);
        return kUsageOrOutput;
    }
    if (parsed.command.help) {
        CheckedOutput out;
        out.write(kHelpText);
        return out.flush() ? kAllOk : kUsageOrOutput;
    }
    return runBatch(parsed.command);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> words = utf8Arguments(argc, argv);
    if (!words.empty())
        words.erase(words.begin());
    return runCommandLine(words);
}
#else
int main(int argc, char** argv)
{
    return runCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
#endif
