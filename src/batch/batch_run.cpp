#include <algorithm>
#include <thread>

#include "batch/path_walk.h"
#include "batch/row_pipeline.h"
#include "tonalyx/tonalyx.hpp"

namespace tonalyx {

namespace {

// The order tonalyx-batch prints a run's messages in: what the console
// writes to standard error first, then what it writes to standard output.
std::vector<Message> inPrintOrder(const std::vector<Message>& messages)
{
    std::vector<Message> ordered = messages;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const Message& message) { return message.stream == Stream::err; });
    return ordered;
}

unsigned workerCount(unsigned asked)
{
    if (asked != 0)
        return asked;
    return std::max(std::thread::hardware_concurrency(), 1u);
}

// A batch prints nothing but its rows: no trace, no listing.
Settings quietSettings(Settings settings)
{
    settings.trace = false;
    settings.keepTrace = false;
    settings.gnuplot = false;
    settings.valuelist = false;
    return settings;
}

}  // namespace

struct BatchRun::State {
    batch::WalkResult found;
    Settings settings;
    VerdictRules rules;
    std::unique_ptr<batch::RowPipeline> pipeline;

    void makeRow(std::size_t index, BatchRow& row) const
    {
        row.file = found.files[index];
        if (rules.hz) {
            row.measurement = measureFile(row.file);
            row.status = row.measurement.status;
            row.verdict = verdictOf(row.measurement, rules);
            row.messages = inPrintOrder(row.measurement.messages);
        } else {
            row.report = analyzeFile(row.file, settings);
            row.status = row.report.status;
            row.verdict = verdictOf(row.report, rules);
            row.messages = inPrintOrder(row.report.messages);
        }
    }
};

BatchRun::BatchRun(std::vector<std::string> paths, const BatchOptions& options) : state_(std::make_unique<State>())
{
    state_->found = batch::walkPaths(paths);
    state_->settings = quietSettings(options.settings);
    state_->rules = options.rules;
    const unsigned jobs = workerCount(options.jobs);
    const std::size_t window = options.window != 0 ? options.window : std::size_t{4} * jobs;
    const State* state = state_.get();
    state_->pipeline = std::make_unique<batch::RowPipeline>(
        state_->found.files.size(), jobs, window,
        [state](std::size_t index, BatchRow& row) { state->makeRow(index, row); });
}

BatchRun::~BatchRun() = default;

bool BatchRun::next(BatchRow& row)
{
    return state_->pipeline->next(row);
}

void BatchRun::stop()
{
    state_->pipeline->stop();
}

std::size_t BatchRun::fileCount() const
{
    return state_->found.files.size();
}

std::vector<BatchPathError> BatchRun::pathErrors() const
{
    return state_->found.errors;
}

}  // namespace tonalyx
