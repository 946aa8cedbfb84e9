// How the reference of one candidate is produced without stepping every
// degree: the pieces of its walk, and the loops that give their values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "analysis/degree_sines.h"
#include "analysis/wide_division.h"
#include "common/bit_copy.h"

namespace tonalyx::detail {

// The stepping visits 360 degrees per period, up to eight or more per slot;
// here each slot costs a few instructions instead, whatever the step.
//
// Within one binade of the position (2^(e-1) <= p < 2^e) every double is a
// multiple of the same spacing u = 2^(e-53), so p + step rounds to p + D u,
// D being step / u rounded to the nearest whole number. Where step / u lies
// exactly halfway the tie goes to the even multiple, which gives that same D
// from every even p / u on (and keeps p / u even). From such a p the
// positions are P u, (P + D) u, (P + 2D) u, ... while they stay in the
// binade (a run), and the degree that lands last on a slot follows from a
// quotient instead of from stepping every degree. Between runs, and where a
// tie starts from an odd multiple, single degrees are stepped as they are.

namespace reference {

// Four periods of the degree sines: an angle may grow by up to 1080 degrees
// before it is brought back below 360.
constexpr int kRepeatedPeriods = 4;
inline constexpr std::array<double, 360 * kRepeatedPeriods> kRepeatedSines = [] {
    std::array<double, 360 * kRepeatedPeriods> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = kDegreeSines[i % 360];
    return table;
}();

struct Run {
    uint64_t start;  // P: the first position, in spacings
    uint64_t delta;  // D: the rounded step, in spacings
    int shift;       // one slot is 2^shift spacings
    uint32_t angle;  // the degree at the first position

    // Slots are skipped only where a degree is longer than a slot.
    bool maySkip() const { return delta > uint64_t{1} << shift; }
};

// Slots [first, end) of a run, in order. For slot i the last degree whose
// position lies below the slot's end, (i + 1) 2^shift - 1 - P, is its
// quotient by D; that degree's position lies inside the slot when the
// remainder is below a slot's spacings, which always holds when a degree is
// shorter than a slot. From slot to slot the dividend grows by 2^shift, so
// quotient and remainder grow by its quotient and remainder, with a carry.
template <class Sink>
void walkRunExactly(const Run& run, uint64_t first, uint64_t end, Sink& sink)
{
    const uint64_t slotUnits = uint64_t{1} << run.shift;
    const uint64_t remainderStep = slotUnits % run.delta;
    const auto angleStep = static_cast<uint32_t>(slotUnits / run.delta % 360);
    const bool maySkip = run.maySkip();

    const uint64_t beforeEnd = ((first + 1) << run.shift) - 1 - run.start;
    uint64_t remainder = beforeEnd % run.delta;
    auto angle = static_cast<uint32_t>((run.angle + beforeEnd / run.delta) % 360);
    for (uint64_t slot = first; slot < end; ++slot) {
        if (!maySkip || remainder < slotUnits)
            sink(slot, kDegreeSines[angle]);
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

// The same with the remainder as a 64-bit fraction of D, rounded up:
// F = ceil(remainder x 2^64 / D), grown by A = ceil(remainderStep x 2^64 /
// D), so that the carry is the overflow of one addition. Each rounding adds
// less than one to F, so after n slots F exceeds the exact fraction by less
// than n; while n D < 2^64 that is less than the gap 2^64 / D between two
// fractions that a remainder can give, and every carry and every test comes
// out as with the exact remainder. The angle grows unreduced within a
// block, against the table of four periods.
struct FractionCursor {
    uint64_t fraction;
    uint64_t fractionStep;
    uint64_t angle;  // below 360 between blocks
    uint64_t angleStep;     // modulo 2^64: a step of more than 180 degrees goes back instead
    uint64_t blockStart;    // added to the angle at the start of a block: 1080 when it goes back
    uint64_t block;         // slots before the angle must be reduced again
    uint64_t writtenBelow;  // where slots may be skipped: written while F is below this
    bool maySkip;

    // Runs of fewer slots are cheaper stepped exactly than set up.
    static bool suits(const Run& run, uint64_t first, uint64_t end)
    {
        const uint64_t slots = end - first;
        return slots >= 16 && slots < UINT64_MAX / run.delta;
    }

    // The state at slot `first` of the run.
    void start(const Run& run, uint64_t first)
    {
        const uint64_t slotUnits = uint64_t{1} << run.shift;
        const uint64_t beforeEnd = ((first + 1) << run.shift) - 1 - run.start;
        const FractionDivisor fractionOf(run.delta);
        fraction = fractionOf.ceil(beforeEnd % run.delta);
        fractionStep = fractionOf.ceil(slotUnits % run.delta);
        angle = (run.angle + beforeEnd / run.delta) % 360;
        // Within a block the angle moves by at most 1080 degrees, up from
        // below 360 or down from 1080 and more.
        const uint64_t forward = slotUnits / run.delta % 360;
        constexpr uint64_t kRoom = 360 * (kRepeatedPeriods - 1);
        if (forward > 180) {
            angleStep = forward - 360;  // wraps: the angle goes back by 360 - forward, or one less
            blockStart = kRoom;
            block = kRoom / (360 - forward);
        } else {
            angleStep = forward;
            blockStart = 0;
            block = kRoom / (forward + 1);
        }
        maySkip = run.maySkip();
        writtenBelow = maySkip ? fractionOf.ceil(slotUnits) : 0;
    }

    // Slots [slot, stop), block by block.
    template <class Sink>
    void walk(uint64_t slot, uint64_t stop, Sink& sink)
    {
        if (maySkip)
            walkAs<true>(slot, stop, sink);
        else
            walkAs<false>(slot, stop, sink);
    }

    // The same, the state held in locals: the compiler keeps them in
    // registers.
    template <bool kMaySkip, class Sink>
    void walkAs(uint64_t slot, uint64_t stop, Sink& sink)
    {
        uint64_t f = fraction, a = angle;
        const uint64_t fStep = fractionStep, aStep = angleStep, below = writtenBelow;
        // The value of one slot (or nothing where it is skipped), then on
        // to the next.
        auto next = [&](uint64_t at) {
            if (!kMaySkip || f < below)
                sink(at, kRepeatedSines[a]);
            f += fStep;
            a += aStep + (f < fStep);
        };
        while (slot < stop) {
            const uint64_t blockStop = stop - slot < block ? stop : slot + block;
            a += blockStart;
            for (; slot + 4 <= blockStop; slot += 4) {
                next(slot);
                next(slot + 1);
                next(slot + 2);
                next(slot + 3);
            }
            for (; slot < blockStop; ++slot)
                next(slot);
            a %= 360;
        }
        fraction = f;
        angle = a;
    }
};

template <class Sink>
void walkRun(const Run& run, uint64_t first, uint64_t end, Sink& sink)
{
    if (FractionCursor::suits(run, first, end)) {
        FractionCursor cursor;
        cursor.start(run, first);
        cursor.walk(first, end, sink);
    } else {
        walkRunExactly(run, first, end, sink);
    }
}

inline double powerOfTwo(int exponent)
{
    return bitCopy<double>(static_cast<uint64_t>(1023 + exponent) << 52);
}

// The walk of one candidate's reference over slots [0, count), in order:
// pieces.single(slot, value) for a slot whose value a single step decides,
// pieces.run(run, first, end) for slots [first, end) of a run. Slots no
// degree lands on are in no piece; every other slot is in exactly one. The
// walk ends early once pieces.stopped().
template <class Pieces>
void walkReference(uint32_t count, double step, Pieces& pieces)
{
    constexpr uint64_t kBinadeUnits = uint64_t{1} << 53;  // spacings in one binade
    // A single step may land on a slot that later degrees land on too; its
    // value is handed on once the walk has moved past that slot.
    bool pending = false;
    uint32_t pendingSlot = 0;
    double pendingValue = 0.0;
    auto flushBelow = [&](uint32_t slot) {
        if (pending && pendingSlot < slot)
            pieces.single(pendingSlot, pendingValue);
        pending = pending && pendingSlot >= slot;
    };

    // step = stepMantissa x 2^(stepExponent - 1075); a positive normal double.
    const auto stepBits = bitCopy<uint64_t>(step);
    const uint64_t stepMantissa = (stepBits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;
    const int stepExponent = static_cast<int>(stepBits >> 52);

    double position = 0.0;
    uint32_t angle = 0;
    while (position < count && !pieces.stopped()) {
        if (position > 0.0) {
            const auto bits = bitCopy<uint64_t>(position);
            const int shift = 1075 - static_cast<int>(bits >> 52);                          // 53 - e
            const uint64_t start = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;  // p / u
            // step / u rounded to a whole number, ties to even. It is below
            // 2^53, since step <= p (the first position is step itself).
            const int dropped = 1075 - stepExponent - shift;  // bits of the mantissa below one spacing
            uint64_t delta = 0;
            bool tie = false;
            if (dropped <= 0) {
                delta = stepMantissa << -dropped;
            } else if (dropped <= 53) {
                const uint64_t rest = stepMantissa & ((uint64_t{1} << dropped) - 1);
                const uint64_t half = uint64_t{1} << (dropped - 1);
                delta = stepMantissa >> dropped;
                tie = rest == half;
                delta += rest > half || (tie && (delta & 1));
            }
            if (delta >= 1 && !(tie && (start & 1))) {
                const Run run{start, delta, shift, angle};
                const uint64_t steps = (kBinadeUnits - 1 - start) / run.delta;
                const double last = static_cast<double>(start + steps * run.delta) * powerOfTwo(-shift);
                // Slots before the last position's slot: that one is taken
                // by the step below, which moves out of the binade.
                const uint32_t end = last < count ? static_cast<uint32_t>(last) : count;
                const auto first = static_cast<uint32_t>(position);
                if (first < end) {
                    flushBelow(first);
                    pending = false;  // the run decides the first slot anew
                    pieces.run(run, first, end);
                }
                position = last;
                angle = static_cast<uint32_t>((angle + steps) % 360);
            }
        }
        // One real step: the start, the step out of a binade, or a tie from
        // an odd multiple.
        if (position >= count)
            break;
        const auto slot = static_cast<uint32_t>(position);
        flushBelow(slot);
        pending = true;
        pendingSlot = slot;
        pendingValue = kDegreeSines[angle];
        position += step;
        angle = angle == 359 ? 0 : angle + 1;
    }
    flushBelow(count);
}

// Pieces handed straight on as slot values.
template <class Sink>
struct SlotsOf {
    Sink& sink;
    void single(uint64_t slot, double value) { sink(slot, value); }
    void run(const Run& run, uint64_t first, uint64_t end) { walkRun(run, first, end, sink); }
    bool stopped() const { return false; }
};

}  // namespace reference

}  // namespace tonalyx::detail
