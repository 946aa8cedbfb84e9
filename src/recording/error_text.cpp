#include "recording/error_text.h"

#include "common/fixed_format.h"

namespace tonalyx::detail::recording {

std::string decimal(std::uint64_t value)
{
    char digits[24];
    return std::string(digits, formatWhole(value, digits));
}

std::string hex(std::uint32_t value, int minDigits)
{
    std::string text = "0x";
    bool started = false;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const unsigned digit = (value >> shift) & 0xF;
        started = started || digit != 0 || shift < 4 * minDigits;
        if (started)
            text += "0123456789abcdef"[digit];
    }
    return text;
}

}  // namespace tonalyx::detail::recording
