#include "batch/row_pipeline.h"

#include <algorithm>
#include <exception>
#include <string>

namespace tonalyx::detail::batch {

RowPipeline::RowPipeline(std::size_t count, unsigned jobs, std::size_t window, MakeRow make)
    : count_(count),
      jobs_(std::max(jobs, 1u)),
      window_(std::max<std::size_t>(window, 1)),
      make_(std::move(make)),
      slots_(std::min(count_, window_)),
      filled_(slots_.size(), 0)
{
}

RowPipeline::~RowPipeline()
{
    stop();
    for (std::thread& worker : workers_)
        worker.join();
}

void RowPipeline::stop()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    roomFreed_.notify_all();
    rowMade_.notify_all();
}

void RowPipeline::start()
{
    started_ = true;
    const std::size_t threads = std::min<std::size_t>(jobs_, std::min(count_, window_));
    workers_.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i)
        workers_.emplace_back([this] { work(); });
}

bool RowPipeline::next(BatchRow& row)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!started_)
        start();
    if (taken_ >= count_)
        return false;
    const std::size_t slot = taken_ % slots_.size();
    rowMade_.wait(lock, [&] { return stopping_ || filled_[slot] != 0; });
    if (stopping_)
        return false;
    row = std::move(slots_[slot]);
    slots_[slot] = BatchRow{};
    filled_[slot] = 0;
    ++taken_;
    lock.unlock();
    roomFreed_.notify_one();
    return true;
}

void RowPipeline::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        roomFreed_.wait(lock, [&] { return stopping_ || claimed_ >= count_ || claimed_ < taken_ + window_; });
        if (stopping_ || claimed_ >= count_)
            return;
        const std::size_t index = claimed_++;
        lock.unlock();
        BatchRow row;
        try {
            make_(index, row);
        } catch (const std::exception& problem) {
            // Out of memory or the like: this row fails, the batch goes on.
            row.verdict = Verdict::error;
            row.messages.push_back(Message{std::string("ERROR: ") + problem.what() + "\n",
                                           MessageCode::rowFailed, 0, problem.what()});
        }
        lock.lock();
        const std::size_t slot = index % slots_.size();
        slots_[slot] = std::move(row);
        filled_[slot] = 1;
        if (index == taken_)
            rowMade_.notify_one();
    }
}

}  // namespace tonalyx::detail::batch
