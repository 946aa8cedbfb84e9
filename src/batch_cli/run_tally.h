// What a batch has done so far: the progress line and the summary.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "api/api.h"

namespace tonalyx::batch_cli {

class RunTally {
public:
    void add(Verdict verdict);
    std::size_t done() const { return done_; }
    bool allOk() const { return counts_[0] == done_; }  // Verdict::ok is 0

    // "12/340 files, 35.7 files/s, 9 s left" after `elapsedMs`.
    std::string progressText(std::size_t found, std::uint64_t elapsedMs) const;
    // "82 files in 2.3 s, 35.7 files/s: 78 ok, 2 weak, 1 wrong, 1 error,
    // 0 missing, 0 unlisted"
    std::string summaryText(std::uint64_t elapsedMs) const;

private:
    std::size_t done_ = 0;
    std::array<std::size_t, 6> counts_{};  // by Verdict
};

// "searching: 120 files found" (1 file)
std::string searchingText(std::size_t found);

// Tenths as "35.7"; seconds as "9 s", "2 min 5 s", "1 h 2 min".
std::string tenthsText(std::uint64_t tenths);
std::string durationText(std::uint64_t seconds);

}  // namespace tonalyx::batch_cli
