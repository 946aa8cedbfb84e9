#pragma once

#include <cstddef>

// Reads up to `count` bytes, asking again after a short read (a pipe hands
// data over in pieces) until the count is reached or the input ends.
// Returns the bytes delivered, 0 at the end of the input, or -1 on an error
// before any byte arrived.
long readFully(int fd, void* buffer, size_t count);
