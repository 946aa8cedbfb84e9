#pragma once

#include <cstdint>

namespace tonalyx::detail {

// Milliseconds of a monotonic clock as a wrapping 32-bit count; only the
// difference of two readings means anything.
uint32_t getTickCount();

}  // namespace tonalyx::detail
