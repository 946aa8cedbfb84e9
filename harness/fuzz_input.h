// How a fuzz input becomes a run: byte 0 holds flags (1 -v, 2 -gnuplot,
// 4 -valuelist, 8 a negative -length, 16 the file through a pipe, that is
// a source that cannot seek), bytes 1-2 a little-endian code (0: no
// -length; otherwise -length code - 1), the rest is the file. The run
// reads the file from memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonalyx {
class OutputSink;
}

// Runs it in process, its output to a sink that checks nothing; returns
// the exit status the console would give, or -1 for an input of fewer than
// 3 bytes.
int runFuzzInput(const uint8_t* data, size_t size);
// The same, its output to `sink` (for the tests to read).
int runFuzzInput(const uint8_t* data, size_t size, tonalyx::OutputSink& sink);
