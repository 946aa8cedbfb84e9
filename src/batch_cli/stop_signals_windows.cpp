#include <atomic>
#include <windows.h>

#include "batch_cli/stop_signals.h"

namespace tonalyx::batch_cli {

namespace {
constexpr int kInterrupt = 2;   // reported as SIGINT is: the exit status is 130
constexpr int kTerminate = 15;  // Ctrl+Break and closing the console, as SIGTERM
}  // namespace

struct StopSignals::State {
    std::function<void()> onStop;
    std::atomic<int> received{0};
};

namespace {
// The console's handler takes no context: the one watcher of the process.
std::atomic<StopSignals::State*> gWatcher{nullptr};

BOOL WINAPI onConsoleEvent(DWORD event)
{
    StopSignals::State* state = gWatcher.load();
    if (state == nullptr)
        return FALSE;
    int expected = 0;
    const int signal = event == CTRL_C_EVENT ? kInterrupt : kTerminate;
    if (state->received.compare_exchange_strong(expected, signal))
        state->onStop();
    return TRUE;
}
}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : state_(std::make_unique<State>())
{
    state_->onStop = std::move(onStop);
    gWatcher = state_.get();
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    gWatcher = nullptr;
}

int StopSignals::received() const
{
    return state_->received;
}

void StopSignals::finished()
{
}

void ignoreBrokenPipe()
{
}

}  // namespace tonalyx::batch_cli
