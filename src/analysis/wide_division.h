// 128-by-64-bit division in portable 64-bit arithmetic.
#pragma once

#include <bit>
#include <cstdint>

namespace tonalyx::detail {

// Fractions numerator / divisor as 64-bit numbers, rounded up:
// ceil(numerator x 2^64 / divisor) for numerator < divisor. Long division
// in 32-bit digits, each quotient digit estimated from the divisor's top
// digit and corrected at most twice; the divisor is normalised once for
// all fractions of it.
class FractionDivisor {
public:
    explicit FractionDivisor(uint64_t divisor)
        : shift_(std::countl_zero(divisor)), v_(divisor << shift_), vHigh_(v_ >> 32), vLow_(v_ & 0xffffffff)
    {
    }

    uint64_t ceil(uint64_t numerator) const
    {
        constexpr uint64_t kBase = uint64_t{1} << 32;
        uint64_t partial = numerator << shift_;  // below v: the dividend's low 64 bits are 0
        uint64_t digits[2];
        for (uint64_t& digit : digits) {
            // partial holds the top 64 bits of the current dividend; its
            // next digit is 0.
            uint64_t q = partial / vHigh_;
            uint64_t rest = partial - q * vHigh_;
            while (q >= kBase || q * vLow_ > (rest << 32)) {
                --q;
                rest += vHigh_;
                if (rest >= kBase)
                    break;
            }
            digit = q;
            partial = (partial << 32) - q * v_;
        }
        return (digits[0] << 32 | digits[1]) + (partial != 0);
    }

private:
    int shift_;
    uint64_t v_, vHigh_, vLow_;
};

}  // namespace tonalyx::detail
