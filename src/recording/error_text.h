// Numbers for the reader's error texts, which are built from numbers and
// fixed words only.
#pragma once

#include <cstdint>
#include <string>

namespace tonalyx::detail::recording {

std::string decimal(std::uint64_t value);
// "0x" and at least `minDigits` lower-case hex digits: hex(0x55, 4) is "0x0055".
std::string hex(std::uint32_t value, int minDigits);

}  // namespace tonalyx::detail::recording
