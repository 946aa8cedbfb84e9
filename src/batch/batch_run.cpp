#include <algorithm>
#include <thread>

#include "batch/path_walk.h"
#include "batch/row_pipeline.h"
#include "batch/row_plan.h"
#include "api/api.h"

namespace tonalyx {

namespace {

// The order tonalyx-batch prints a run's messages in: what the console
// writes to standard error first, then what it writes to standard output.
std::vector<Message> inPrintOrder(const std::vector<Message>& messages)
{
    std::vector<Message> ordered = messages;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const Message& message) { return consoleStream(message.code) == Stream::err; });
    return ordered;
}

unsigned workerCount(unsigned asked)
{
    if (asked != 0)
        return asked;
    return std::max(std::thread::hardware_concurrency(), 1u);
}

// A batch prints nothing but its rows: no trace.
Settings quietSettings(Settings settings)
{
    settings.trace = false;
    settings.keepTrace = false;
    return settings;
}

// A row that is an error before anything is read: its status is that of
// a file that cannot be opened, its message the reason.
void fillErrorRow(const detail::batch::PlannedRow& plan, BatchRow& row)
{
    row.status = Status::cannotOpen;
    row.report.status = Status::cannotOpen;
    row.measurement.status = Status::cannotOpen;
    row.verdict = plan.kind == detail::batch::PlannedRow::Kind::missing ? Verdict::missing : Verdict::error;
    row.messages = {Message{"ERROR: " + plan.problem + "\n", MessageCode::rowFailed, 0, plan.problem}};
}

}  // namespace

struct BatchRun::State {
    std::optional<Manifest> manifest;  // before rows: they point into it
    std::vector<BatchPathError> pathErrors;
    std::vector<detail::batch::PlannedRow> rows;
    Settings settings;
    VerdictRules rules;
    std::unique_ptr<detail::batch::RowPipeline> pipeline;

    VerdictRules rulesFor(const detail::batch::PlannedRow& plan) const
    {
        VerdictRules own = rules;
        if (plan.expected != nullptr) {
            own.expect = plan.expected->none ? 0 : plan.expected->tone;
            own.expectNone = plan.expected->none;
        }
        return own;
    }

    void makeRow(std::size_t index, BatchRow& row) const
    {
        const detail::batch::PlannedRow& plan = rows[index];
        row.file = plan.path;
        if (plan.kind != detail::batch::PlannedRow::Kind::file) {
            fillErrorRow(plan, row);
            return;
        }
        if (rules.hz) {
            MeasureOptions measureOptions;
            measureOptions.segments = false;  // rows carry no segments
            row.measurement = measureFile(row.file, measureOptions);
            row.status = row.measurement.status;
            row.verdict = verdictOf(row.measurement, rulesFor(plan));
            row.messages = inPrintOrder(row.measurement.messages);
        } else {
            row.report = analyzeFile(row.file, settings);
            row.status = row.report.status;
            row.verdict = verdictOf(row.report, rulesFor(plan));
            row.messages = inPrintOrder(row.report.messages);
        }
        if (manifest && plan.expected == nullptr && row.verdict != Verdict::error)
            row.verdict = Verdict::unlisted;
    }
};

BatchRun::BatchRun(std::vector<std::string> paths, const BatchOptions& options) : state_(std::make_unique<State>())
{
    detail::batch::WalkResult found = detail::batch::walkPaths(paths, options.onFound);
    state_->manifest = options.manifest;
    state_->pathErrors = found.errors;
    state_->rows = detail::batch::planRows(std::move(found), state_->manifest ? &*state_->manifest : nullptr);
    state_->settings = quietSettings(options.settings);
    state_->rules = options.rules;
    const unsigned jobs = workerCount(options.jobs);
    const std::size_t window = options.window != 0 ? options.window : std::size_t{4} * jobs;
    const State* state = state_.get();
    state_->pipeline = std::make_unique<detail::batch::RowPipeline>(
        state_->rows.size(), jobs, window,
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
    return state_->rows.size();
}

std::vector<BatchPathError> BatchRun::pathErrors() const
{
    return state_->pathErrors;
}

}  // namespace tonalyx
