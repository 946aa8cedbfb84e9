// The reference built the straightforward way: step every degree, as the
// tool once did, and note which degree lands last on each slot.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/reference_table.h"

using namespace tonalyx::detail;  // the library's internals under test

// Degree (0 to 359) stored last at each of the first `count` slots (all
// noSamples by default), -1 where none lands. The positions only grow, so
// the stepping may stop at the first one past those slots.
inline std::vector<int> lastDegrees(uint32_t noSamples, double step, uint32_t count = UINT32_MAX)
{
    const uint32_t slots = count < noSamples ? count : noSamples;
    std::vector<int> degree(slots, -1);
    double position = 0.0;
    double angle = 0.0;
    for (;;) {
        const auto index = static_cast<int32_t>(position);
        if (static_cast<uint32_t>(index) >= slots)
            break;
        degree[static_cast<size_t>(index)] = static_cast<int>(angle);
        position += step;
        angle = angle == 359.0 ? 0.0 : angle + 1.0;
    }
    return degree;
}

inline double modelSine(int degree)
{
    return degree < 0 ? 0.0 : kDegreeSines[degree];
}
