// Worker threads that make numbered rows and hand them out in their order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "api/api.h"

namespace tonalyx::detail::batch {

// Rows 0 .. count-1, each made by `make` on one of `jobs` threads, taken
// with next() in their order. A worker takes row i only while
// i < (rows taken) + window, so at most `window` rows are held at a time:
// a slow reader or a slow row makes the workers wait, not the memory grow.
class RowPipeline {
public:
    using MakeRow = std::function<void(std::size_t index, BatchRow& row)>;

    RowPipeline(std::size_t count, unsigned jobs, std::size_t window, MakeRow make);
    ~RowPipeline();  // stop() and wait for the workers
    RowPipeline(const RowPipeline&) = delete;
    RowPipeline& operator=(const RowPipeline&) = delete;

    // The next row in order, waiting for it; false when all were taken or
    // after stop(). The workers start with the first call.
    bool next(BatchRow& row);
    // The workers finish the rows they are on and end; next() gives false.
    void stop();

private:
    void work();
    void start();

    const std::size_t count_;
    const unsigned jobs_;
    const std::size_t window_;
    const MakeRow make_;

    std::mutex mutex_;
    std::condition_variable roomFreed_;  // a row was taken: workers may go on
    std::condition_variable rowMade_;    // a row was put in its slot
    std::vector<BatchRow> slots_;        // row i in slot i % window
    std::vector<char> filled_;
    std::size_t claimed_ = 0;            // rows handed to workers
    std::size_t taken_ = 0;              // rows handed out by next()
    bool stopping_ = false;
    bool started_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace tonalyx::detail::batch
