// The bits of a value read as another type of the same size. A plain
// memcpy, since not every standard library the tool is built with has
// std::bit_cast; compilers turn it into a register move.
#pragma once

#include <cstring>
#include <type_traits>

namespace tonalyx::detail {

template <class To, class From>
inline To bitCopy(const From& from)
{
    static_assert(sizeof(To) == sizeof(From), "the sizes must match");
    static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>);
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

}  // namespace tonalyx::detail
