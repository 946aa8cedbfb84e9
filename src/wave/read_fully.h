#pragma once

#include <cstddef>

namespace tonalyx::detail {

struct RunState;

// Reads up to `count` bytes, asking again after a short read (a pipe hands
// data over in pieces) until the count is reached or the input ends.
// Returns the bytes delivered, or 0 at the end of the input. A read error
// marks the run as failed (the bytes before it still count).
long readFully(RunState& run, void* buffer, size_t count);

}  // namespace tonalyx::detail
