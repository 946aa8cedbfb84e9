// tonalyx-batch: every file analysed in this process, on worker threads,
// one row per file in the order of the names.
#include <algorithm>
#include <cstdio>
#include <mutex>
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

// The run that a signal stops, once there is one: the signal may come
// while the paths are still being walked.
class StopTarget {
public:
    void set(BatchRun* run)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        run_ = run;
    }
    void stop()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (run_ != nullptr)
            run_->stop();
    }

private:
    std::mutex mutex_;
    BatchRun* run_ = nullptr;
};

// Prints the rows; false when standard output failed.
bool printRows(BatchRun& run, const BatchCommand& command, CheckedOutput& out, bool& allOk)
{
    if (command.format == Format::tsv)
        out.write(tsvHeader(command.hz));
    BatchRow row;
    while (!out.failed() && run.next(row)) {
        out.write(command.format == Format::tsv ? tsvRow(row, command.hz) : jsonRow(row, command.hz));
        say(messageLines(row));
        allOk = allOk && row.verdict == Verdict::ok;
    }
    return out.flush();
}

int runBatch(const BatchCommand& command)
{
    ignoreBrokenPipe();
    StopTarget target;
    StopSignals signals([&target] { target.stop(); });
    int status = kAllOk;
    {
        BatchRun run(command.paths, batchOptions(command));
        target.set(&run);
        const int pathStatus = reportPathErrors(run);
        bool allOk = pathStatus == kAllOk;
        CheckedOutput out;
        if (signals.received() != 0) {
            status = 128 + signals.received();
        } else if (pathStatus == kUsageOrOutput) {
            status = kUsageOrOutput;
        } else if (run.fileCount() == 0) {
            say("tonalyx-batch: no .wav files found\n");
            status = kNotAllOk;
        } else if (!printRows(run, command, out, allOk)) {
            say("tonalyx-batch: cannot write standard output: " + out.errorText() + "\n");
            status = kUsageOrOutput;
        } else {
            status = allOk ? kAllOk : kNotAllOk;
        }
        target.set(nullptr);
    }  // the workers are joined here
    signals.finished();
    return signals.received() != 0 ? 128 + signals.received() : status;
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
        // As the usage: on standard error, with the usage status.
        say(kHelpText);
        return kUsageOrOutput;
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
