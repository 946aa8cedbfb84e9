// One fuzz input through the recording reader, twice (whole reads from a
// source that can seek, and small pieces as a pipe delivers them), with
// what must hold of any result: the same answer both ways, values in
// range, and each read within the time and heap bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recording/recording.h"

// A read of a fuzz input (16 KiB at most) takes far less than this, even
// under the sanitizers. The reader's heap stays within the samples' bound,
// the 4 MiB of first room they move out of, and a little more.
constexpr double kReadSecondsBound = 1.0;
constexpr std::size_t kReadHeapBound = tonalyx::detail::recording::kMaxSampleBytes + (std::size_t{5} << 20);

struct CheckedRead {
    tonalyx::detail::recording::ReadOutcome outcome;
    tonalyx::detail::recording::Recording recording;
    std::string broken;  // what does not hold; empty when all does
};

CheckedRead checkedRead(const uint8_t* data, size_t size);
