// tonalyx-batch: every file analysed in this process, on worker threads,
// one row per file in the order of the names.
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "batch_cli/batch_options.h"
#include "batch_cli/checked_output.h"
#include "batch_cli/progress_line.h"
#include "batch_cli/row_text.h"
#include "batch_cli/run_tally.h"
#include "batch_cli/stop_signals.h"
#include "batch_cli/usage_text.h"
#include "api/api.h"

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
    VerdictRules& rules = options.rules;
    rules.minResult = command.minResult.value_or(rules.minResult);
    rules.minPurity = command.minPurity.value_or(rules.minPurity);
    rules.minLevel = command.minLevel;
    rules.tolerance = command.tolerance.value_or(rules.tolerance);
    rules.expect = command.expect;
    rules.expectNone = command.expectNone;
    rules.hz = command.hz;
    return options;
}

// The time since the batch began.
class Stopwatch {
public:
    std::uint64_t elapsedMs() const
    {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

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

// What stays on standard error while the rows go out.
struct Console {
    ProgressLine progress;
    bool rowsOnTerminal = false;  // standard output is a terminal too
    RunTally tally;
    Stopwatch clock;

    void showProgress(std::size_t found)
    {
        progress.show("tonalyx-batch: " + tally.progressText(found, clock.elapsedMs()));
    }
    // On a terminal a row goes out at once, on a line of its own.
    void write(CheckedOutput& out, const std::string& text)
    {
        if (!rowsOnTerminal) {
            out.write(text);
            return;
        }
        progress.clear();
        out.write(text);
        out.flush();
    }
};

// Prints the rows; false when standard output failed.
bool printRows(BatchRun& run, const BatchCommand& command, CheckedOutput& out, Console& console)
{
    console.write(out, headerLine(command.format, command.hz));
    console.showProgress(run.fileCount());  // the search is over: the count from 0 at once
    BatchRow row;
    while (!out.failed() && run.next(row)) {
        console.write(out, rowLine(row, command.format, command.hz));
        const std::string messages = messageLines(row);
        if (!messages.empty()) {
            console.progress.clear();
            say(messages);
        }
        console.tally.add(row.verdict);
        if (console.progress.due())
            console.showProgress(run.fileCount());
    }
    console.progress.clear();
    return out.flush();
}

// The manifest, or a usage error said.
bool readManifestOf(const BatchCommand& command, BatchOptions& options)
{
    if (!command.expectFrom)
        return true;
    ManifestReading reading = readManifest(*command.expectFrom);
    if (!reading.error.empty()) {
        say("tonalyx-batch: --expect-from " + escapeControls(*command.expectFrom) + ": " + reading.error + "\n");
        return false;
    }
    options.manifest = std::move(reading.manifest);
    return true;
}

int runBatch(const BatchCommand& command)
{
    ignoreBrokenPipe();
    BatchOptions options = batchOptions(command);
    if (!readManifestOf(command, options))
        return kUsageOrOutput;
    Console console{ProgressLine(command.progress.value_or(!command.quiet && stderrIsTerminal())),
                    stdoutIsTerminal(), {}, {}};
    options.onFound = [&console](std::size_t found) {
        if (console.progress.due())
            console.progress.show("tonalyx-batch: " + searchingText(found));
    };
    StopTarget target;
    StopSignals signals([&target] { target.stop(); });
    int status = kAllOk;
    {
        BatchRun run(command.paths, options);
        target.set(&run);
        console.progress.clear();  // the search's count
        CheckedOutput out;
        if (signals.received() != 0) {
            status = 128 + signals.received();
        } else if (run.fileCount() == 0) {
            say("tonalyx-batch: no .wav files found\n");
            status = kNotAllOk;
        } else if (!printRows(run, command, out, console)) {
            say("tonalyx-batch: cannot write standard output: " + out.errorText() + "\n");
            status = kUsageOrOutput;
        } else {
            status = console.tally.allOk() ? kAllOk : kNotAllOk;
        }
        target.set(nullptr);
        if (status != kUsageOrOutput && signals.received() == 0 && run.fileCount() != 0 && !command.quiet)
            say("tonalyx-batch: " + console.tally.summaryText(console.clock.elapsedMs()) + "\n");
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
    std::vector<std::string> words = tonalyx::detail::utf8Arguments(argc, argv);
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
