#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

#include "batch_cli/stop_signals.h"

namespace tonalyx::batch_cli {

namespace {
constexpr auto kGraceTime = std::chrono::seconds(5);

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}
}  // namespace

struct StopSignals::State {
    std::function<void()> onStop;
    std::atomic<int> received{0};
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watcher;

    void watch()
    {
        const sigset_t set = stopSet();
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (finished)
                return;  // the wake-up from finished(), not a real signal
            received = signal;
        }
        onStop();
        std::unique_lock<std::mutex> lock(mutex);
        if (!done.wait_for(lock, kGraceTime, [&] { return finished; }))
            _exit(128 + signal);  // the workers are threads of this process: they end with it
    }
};

StopSignals::StopSignals(std::function<void()> onStop) : state_(std::make_unique<State>())
{
    state_->onStop = std::move(onStop);
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    state_->watcher = std::thread([state = state_.get()] { state->watch(); });
}

StopSignals::~StopSignals()
{
    finished();
    state_->watcher.join();
}

int StopSignals::received() const
{
    return state_->received;
}

void StopSignals::finished()
{
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->finished)
            return;
        state_->finished = true;
    }
    state_->done.notify_all();
    // Wakes the watcher if it still waits for a signal; it sees `finished`.
    if (state_->received == 0)
        pthread_kill(state_->watcher.native_handle(), SIGTERM);
}

void ignoreBrokenPipe()
{
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace tonalyx::batch_cli
