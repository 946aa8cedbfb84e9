// The bytes a stretch of code holds on the heap at its peak, by a global
// operator new that keeps count (linked into the reader's fuzz target and
// the unit tests).
#pragma once

#include <cstddef>

// Starts a stretch: its peak is measured from what is held now.
void startAllocationPeak();
// The most held at once since startAllocationPeak(), over what was held
// then.
std::size_t allocationPeak();
