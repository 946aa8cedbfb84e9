// One fuzz input through the recording reader, twice (whole reads, and
// small pieces as a pipe delivers them), with what must hold of any result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recording/recording.h"

struct CheckedRead {
    tonalyx::recording::ReadOutcome outcome;
    tonalyx::recording::Recording recording;
    std::string broken;  // what does not hold; empty when all does
};

CheckedRead checkedRead(const uint8_t* data, size_t size);
