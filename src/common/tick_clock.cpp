#include "common/tick_clock.h"

#include <chrono>

namespace tonalyx::detail {

uint32_t getTickCount()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace tonalyx::detail
