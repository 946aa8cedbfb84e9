#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "batch/row_pipeline.h"

using tonalyx::BatchRow;
using tonalyx::detail::batch::RowPipeline;

namespace {

// A few hundred microseconds that differ from row to row, so that later
// rows often finish before earlier ones.
void unevenWork(std::size_t index)
{
    std::this_thread::sleep_for(std::chrono::microseconds((index * 7919) % 400));
}

}  // namespace

TEST(RowPipeline, RowsComeInTheirOrderWhateverTheJobsAndWindow)
{
    struct Row {
        std::size_t count;
        unsigned jobs;
        std::size_t window;
    } rows[] = {
        {0, 4, 16}, {1, 1, 1}, {1, 8, 32}, {50, 1, 1}, {300, 16, 64}, {300, 16, 3}, {97, 7, 5}, {20, 64, 256},
    };
    for (const Row& row : rows) {
        RowPipeline pipeline(row.count, row.jobs, row.window, [](std::size_t index, BatchRow& made) {
            unevenWork(index);
            made.file = std::to_string(index);
        });
        BatchRow made;
        std::size_t expected = 0;
        while (pipeline.next(made))
            EXPECT_EQ(made.file, std::to_string(expected++)) << row.count << " rows, " << row.jobs << " jobs";
        EXPECT_EQ(expected, row.count);
        EXPECT_FALSE(pipeline.next(made)) << "nothing after the last row";
    }
}

TEST(RowPipeline, WorkersNeverRunFurtherAheadThanTheWindow)
{
    struct Row {
        unsigned jobs;
        std::size_t window;
    } rows[] = {{8, 1}, {8, 4}, {4, 16}, {2, 3}};
    for (const Row& row : rows) {
        constexpr std::size_t kCount = 120;
        std::atomic<std::size_t> takenByReader{0};
        std::atomic<std::size_t> farthestAhead{0};
        std::atomic<int> running{0};
        std::atomic<int> mostRunning{0};
        RowPipeline pipeline(kCount, row.jobs, row.window, [&](std::size_t index, BatchRow& made) {
            const int now = ++running;
            int seen = mostRunning;
            while (now > seen && !mostRunning.compare_exchange_weak(seen, now)) {
            }
            // The reader's count lags the pipeline's by at most the row
            // being handed over, hence window + 1 at most.
            const std::size_t ahead = index + 1 - std::min(index + 1, takenByReader.load());
            std::size_t before = farthestAhead;
            while (ahead > before && !farthestAhead.compare_exchange_weak(before, ahead)) {
            }
            unevenWork(index);
            made.file = std::to_string(index);
            --running;
        });
        BatchRow made;
        while (pipeline.next(made)) {
            // A slow reader: the workers would race ahead if they could.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            ++takenByReader;
        }
        EXPECT_EQ(takenByReader, kCount);
        EXPECT_LE(farthestAhead, row.window + 1) << row.jobs << " jobs, window " << row.window;
        EXPECT_LE(mostRunning, static_cast<int>(std::min<std::size_t>(row.jobs, row.window)));
    }
}

TEST(RowPipeline, StopEndsTheRowsAndTheWorkersSoon)
{
    constexpr std::size_t kCount = 100000;
    std::atomic<std::size_t> started{0};
    const auto begin = std::chrono::steady_clock::now();
    {
        RowPipeline pipeline(kCount, 4, 16, [&](std::size_t, BatchRow&) {
            ++started;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        BatchRow made;
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(pipeline.next(made));
        pipeline.stop();
        EXPECT_FALSE(pipeline.next(made));
    }  // joins the workers
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_LT(started, std::size_t{100});
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(RowPipeline, ARowThatThrowsBecomesAnErrorRowAndTheRestGoOn)
{
    RowPipeline pipeline(3, 2, 4, [](std::size_t index, BatchRow& made) {
        made.file = std::to_string(index);
        made.verdict = tonalyx::Verdict::ok;
        if (index == 1)
            throw std::runtime_error("no memory left");
    });
    BatchRow made;
    std::vector<tonalyx::Verdict> verdicts;
    std::vector<std::size_t> messageCounts;
    while (pipeline.next(made)) {
        verdicts.push_back(made.verdict);
        messageCounts.push_back(made.messages.size());
    }
    EXPECT_EQ(verdicts, (std::vector<tonalyx::Verdict>{tonalyx::Verdict::ok, tonalyx::Verdict::error,
                                                       tonalyx::Verdict::ok}));
    EXPECT_EQ(messageCounts, (std::vector<std::size_t>{0, 1, 0}));
}
