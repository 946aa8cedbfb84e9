#include "analysis/reference_table.h"

#include <cmath>
#include <cstring>

namespace {

// The degree-to-radian factor is built from 3.1415926, not from full pi.
constexpr double kDegRad = 3.1415926 / 180.0;
constexpr uint64_t kBinadeUnits = uint64_t{1} << 53;  // spacings in one binade

const double* degreeSines()
{
    struct Table {
        double sine[360];
    };
    static const Table table = [] {
        Table t{};
        for (int degree = 0; degree < 360; ++degree)
            t.sine[degree] = static_cast<double>(sinl(static_cast<long double>(degree) * kDegRad));
        return t;
    }();
    return table.sine;
}

// Within one binade of the position (2^(e-1) <= p < 2^e) every double is a
// multiple of the same spacing u = 2^(e-53), so p + step rounds to
// p + D u with D = step / u rounded to the nearest whole number. When step / u
// lies exactly halfway, the tie goes to the even multiple, which gives the
// same D from every even p / u on (and keeps p / u even). So from such a p,
// the positions are P u, (P + D) u, (P + 2D) u, ... as long as they stay in
// the binade, and the degree that lands last on slot i follows from a
// division instead of from stepping every degree.
struct Run {
    uint64_t start;  // P: the first position in units of the spacing
    uint64_t delta;  // D: the rounded step in units of the spacing
    uint64_t steps;  // n: the positions after the first that stay in the binade
    int shift;       // one slot is 2^shift units
    uint32_t angle;  // the degree at the first position
};

// Degrees of at least one slot each: step them one by one.
void writeCoarseRun(double* ref, uint32_t count, const double* sine, const Run& run)
{
    uint32_t angle = run.angle;
    uint64_t position = run.start;
    for (uint64_t j = 0; j < run.steps; ++j, position += run.delta) {
        const uint64_t index = position >> run.shift;
        if (index >= count)
            return;
        ref[index] = sine[angle];
        angle = angle == 359 ? 0 : angle + 1;
    }
}

// Several degrees per slot: every slot from the first position's up to the
// last position's (exclusive) gets the last degree whose position is below
// the slot's end, found by an incrementally kept quotient and remainder.
void writeFineRun(double* ref, uint32_t count, const double* sine, const Run& run, uint32_t lastIndex)
{
    const uint64_t first = run.start >> run.shift;
    const uint64_t end = lastIndex < count ? lastIndex : count;
    if (first >= end)
        return;
    const uint64_t slotUnits = uint64_t{1} << run.shift;
    const uint64_t quotientStep = slotUnits / run.delta;
    const uint64_t remainderStep = slotUnits % run.delta;
    const uint32_t angleStep = static_cast<uint32_t>(quotientStep % 360);

    const uint64_t beforeEnd = ((first + 1) << run.shift) - 1 - run.start;
    uint64_t remainder = beforeEnd % run.delta;
    uint32_t angle = static_cast<uint32_t>((run.angle + beforeEnd / run.delta) % 360);
    for (uint64_t i = first; i < end; ++i) {
        ref[i] = sine[angle];
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

double referenceStep(uint32_t noSamples, uint32_t noHertz)
{
    return static_cast<double>(static_cast<long double>(noSamples) / static_cast<long double>(noHertz) / 360.0L);
}

double sineOfDegree(uint32_t degree)
{
    return degreeSines()[degree % 360];
}

void fillReference(double* ref, uint32_t count, double step)
{
    if (count == 0)
        return;
    std::memset(ref, 0, count * sizeof(double));
    const double* sine = degreeSines();
    double position = 0.0;
    uint32_t angle = 0;
    while (position < count) {
        if (position > 0.0) {
            int exponent = 0;
            std::frexp(position, &exponent);
            const int shift = 53 - exponent;
            const double unit = std::ldexp(1.0, -shift);
            const uint64_t start = static_cast<uint64_t>(position / unit);  // exact
            const double stepUnits = step / unit;                           // exact
            const double delta = std::nearbyint(stepUnits);                 // ties to even
            const bool tie = stepUnits - std::floor(stepUnits) == 0.5;
            if (delta >= 1.0 && !(tie && (start & 1))) {
                Run run{start, static_cast<uint64_t>(delta), 0, shift, angle};
                run.steps = (kBinadeUnits - 1 - start) / run.delta;
                const uint64_t last = start + run.steps * run.delta;
                const double lastPosition = static_cast<double>(last) * unit;  // exact
                if (step >= 1.0)
                    writeCoarseRun(ref, count, sine, run);
                else
                    writeFineRun(ref, count, sine, run,
                                 lastPosition < count ? static_cast<uint32_t>(lastPosition) : count);
                position = lastPosition;
                angle = static_cast<uint32_t>((angle + run.steps) % 360);
            }
        }
        // One real step: the start, the step out of a binade, or a tie from
        // an odd multiple.
        if (position >= count)
            break;
        ref[static_cast<uint32_t>(position)] = sine[angle];
        position += step;
        angle = angle == 359 ? 0 : angle + 1;
    }
}
