// The reference built the straightforward way: step every degree, as the
// tool once did, and note which degree lands last on each slot.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

inline double modelStep(uint32_t noSamples, uint32_t noHertz)
{
    return static_cast<double>(static_cast<long double>(noSamples) / noHertz / 360.0L);
}

// Degree (0 to 359) stored last at each slot, -1 where none lands.
inline std::vector<int> lastDegrees(uint32_t noSamples, double step)
{
    std::vector<int> degree(noSamples, -1);
    double position = 0.0;
    double angle = 0.0;
    for (;;) {
        const auto index = static_cast<int32_t>(position);
        if (static_cast<uint32_t>(index) >= noSamples)
            break;
        degree[static_cast<size_t>(index)] = static_cast<int>(angle);
        position += step;
        angle = angle == 359.0 ? 0.0 : angle + 1.0;
    }
    return degree;
}

inline double modelSine(int degree)
{
    if (degree < 0)
        return 0.0;
    const double degRad = 3.1415926 / 180.0;
    return static_cast<double>(sinl(static_cast<long double>(degree) * degRad));
}
