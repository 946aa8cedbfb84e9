#include "analysis/reference_table.h"

#include <bit>
#include <cmath>

namespace {

constexpr uint64_t kBinadeUnits = uint64_t{1} << 53;  // spacings in one binade
constexpr uint32_t kSkipped = 360;                     // table entry that holds 0

double powerOfTwo(int exponent)
{
    return std::bit_cast<double>(static_cast<uint64_t>(1023 + exponent) << 52);
}

// Within one binade of the position (2^(e-1) <= p < 2^e) every double is a
// multiple of the same spacing u = 2^(e-53), so p + step rounds to p + D u,
// D being step / u rounded to the nearest whole number. Where step / u lies
// exactly halfway the tie goes to the even multiple, which gives that same D
// from every even p / u on (and keeps p / u even). From such a p the
// positions are P u, (P + D) u, (P + 2D) u, ... while they stay in the
// binade, and the degree that lands last on a slot follows from a quotient
// instead of from stepping every degree.
struct Run {
    uint64_t start;  // P: the first position, in spacings
    uint64_t delta;  // D: the rounded step, in spacings
    int shift;       // one slot is 2^shift spacings
    uint32_t angle;  // the degree at the first position
};

// Writes slots [first, end) of a run. For each slot the last degree whose
// position lies below the slot's end is j = (end - 1 - P) / D; its position
// lies inside the slot when the remainder is below a slot's spacings, which
// always holds when a degree is shorter than a slot (kMaySkip false).
template <bool kMaySkip>
void writeRun(double* ref, const double* sine, const Run& run, uint64_t first, uint64_t end)
{
    const uint64_t slotUnits = uint64_t{1} << run.shift;
    const uint64_t remainderStep = slotUnits % run.delta;
    const auto angleStep = static_cast<uint32_t>(slotUnits / run.delta % 360);

    const uint64_t beforeEnd = ((first + 1) << run.shift) - 1 - run.start;
    uint64_t remainder = beforeEnd % run.delta;
    auto angle = static_cast<uint32_t>((run.angle + beforeEnd / run.delta) % 360);
    for (double *out = ref + first, *stop = ref + end; out != stop; ++out) {
        if (kMaySkip)
            *out = sine[remainder < slotUnits ? angle : kSkipped];
        else
            *out = sine[angle];
        remainder += remainderStep;
        angle += angleStep;
        if (remainder >= run.delta) {
            remainder -= run.delta;
            ++angle;
        }
        if (angle >= 360)
            angle -= 360;
    }
}

}  // namespace

void fillReference(double* ref, uint32_t count, double step)
{
    const double* sine = kDegreeSines;
    uint32_t filled = 0;  // slots [0, filled) have their final value
    auto zeroUpTo = [&](uint32_t index) {
        for (; filled < index; ++filled)
            ref[filled] = 0.0;
    };

    double position = 0.0;
    uint32_t angle = 0;
    while (position < count) {
        if (position > 0.0) {
            const auto bits = std::bit_cast<uint64_t>(position);
            const int shift = 1075 - static_cast<int>(bits >> 52);                 // 53 - e
            const uint64_t start = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;  // p / u
            const double stepUnits = step * powerOfTwo(shift);                     // exact
            const double delta = std::nearbyint(stepUnits);                        // ties to even
            const bool tie = stepUnits - std::floor(stepUnits) == 0.5;
            if (delta >= 1.0 && !(tie && (start & 1))) {
                const Run run{start, static_cast<uint64_t>(delta), shift, angle};
                const uint64_t steps = (kBinadeUnits - 1 - start) / run.delta;
                const double last = static_cast<double>(start + steps * run.delta) * powerOfTwo(-shift);
                // Slots before the last position's slot: that one is written
                // by the step below, which moves out of the binade.
                const uint32_t end = last < count ? static_cast<uint32_t>(last) : count;
                const auto first = static_cast<uint32_t>(position);
                if (first < end) {
                    zeroUpTo(first);
                    if (step >= 1.0)
                        writeRun<true>(ref, sine, run, first, end);
                    else
                        writeRun<false>(ref, sine, run, first, end);
                    filled = end;
                }
                position = last;
                angle = static_cast<uint32_t>((angle + steps) % 360);
            }
        }
        // One real step: the start, the step out of a binade, or a tie from
        // an odd multiple.
        if (position >= count)
            break;
        const auto index = static_cast<uint32_t>(position);
        zeroUpTo(index);
        ref[index] = sine[angle];
        filled = index + 1;
        position += step;
        angle = angle == 359 ? 0 : angle + 1;
    }
    zeroUpTo(count);
}
