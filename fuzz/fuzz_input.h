// How a fuzz input becomes a run: byte 0 holds flags (1 -v, 2 -gnuplot,
// 4 -valuelist, 8 a negative -length, 16 the file through a pipe), bytes
// 1-2 a little-endian code (0: no -length; otherwise -length code - 1), the
// rest is the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FuzzRun {
    int fd = -1;                    // the file, open for reading; -1 if none
    std::vector<std::string> args;  // the command line, program name first
};

// The run an input stands for; an input of fewer than 3 bytes has none.
FuzzRun decodeFuzzInput(const uint8_t* data, size_t size);

// Runs it in process; closes the file. Returns the tool's exit status.
int runFuzzInput(const uint8_t* data, size_t size);
