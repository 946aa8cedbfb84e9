// SIGINT and SIGTERM (Ctrl+C and Ctrl+Break on Windows) turned into a call
// on an ordinary thread, so that the batch can stop its workers, wait for
// them and exit: nothing but the watching happens in a signal context.
#pragma once

#include <functional>
#include <memory>

namespace tonalyx::batch_cli {

class StopSignals {
public:
    // From here on the signals call `onStop` (once) instead of ending the
    // process. Make it before any other thread, which then inherits the
    // blocked signals.
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal received, 0 for none.
    int received() const;
    // The process is done: a signal from now on is not waited on. When a
    // signal came and the process does not get here within a grace time
    // (its output blocked, say), the watcher ends it with 128 + signal.
    void finished();

    struct State;  // per platform

private:
    std::unique_ptr<State> state_;
};

// Makes writes to a closed pipe fail with EPIPE instead of killing the
// process (nothing to do on Windows).
void ignoreBrokenPipe();

}  // namespace tonalyx::batch_cli
