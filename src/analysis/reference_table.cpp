#include "analysis/reference_table.h"

#include <limits>

#include "analysis/reference_walk.h"

namespace tonalyx::detail {

namespace {

// The sum of the products in index order; with a bound, looked at every
// kCheckSlots slots of a run. The largest sum still reachable from slot j
// is the sum so far plus the magnitudes of the samples from j on (every
// reference value lies in [-1, 1]), plus a slack far above the rounding
// errors of these sums (slots of at most 1 in magnitude, at most 4096 of
// them: below 1e-8).
class BoundedSum {
public:
    BoundedSum(const double* samples, uint32_t count, const CorrelationBound* bound)
        : samples_(samples), count_(count), bound_(bound)
    {
    }

    void single(uint64_t slot, double value) { sum_ += samples_[slot] * value; }

    void run(const reference::Run& run, uint64_t first, uint64_t end)
    {
        auto add = [this](uint64_t slot, double value) { sum_ += samples_[slot] * value; };
        if (!bound_ || !reference::FractionCursor::suits(run, first, end)) {
            reference::walkRun(run, first, end, add);
            stopped_ = bound_ && !reachable(end);
            return;
        }
        reference::FractionCursor cursor;
        cursor.start(run, first);
        for (uint64_t slot = first; slot < end && !stopped_;) {
            const uint64_t stop = end - slot < kCheckSlots ? end : slot + kCheckSlots;
            cursor.walk(slot, stop, add);
            slot = stop;
            stopped_ = !reachable(slot);
        }
    }

    bool stopped() const { return stopped_; }

    double sum() const { return stopped_ ? -std::numeric_limits<double>::infinity() : sum_; }

private:
    static constexpr uint64_t kCheckSlots = 128;
    static constexpr double kSlack = 1e-6;

    bool reachable(uint64_t slot) const
    {
        const double tail = slot < count_ ? bound_->tail[slot / CorrelationBound::kTailSlots] : 0.0;
        return (sum_ + tail + kSlack) / static_cast<double>(count_) >= bound_->neededFrom;
    }

    const double* samples_;
    uint32_t count_;
    const CorrelationBound* bound_;
    double sum_ = 0.0;
    bool stopped_ = false;
};

}  // namespace

double correlateReference(const double* samples, uint32_t count, double step, const CorrelationBound* bound)
{
    // A slot no degree lands on adds a product of 0, which leaves the sum
    // as it is (the sum starts at +0 and can never become -0).
    BoundedSum sum(samples, count, bound);
    reference::walkReference(count, step, sum);
    return sum.sum();
}

void fillReference(double* ref, uint32_t count, double step)
{
    for (uint32_t i = 0; i < count; ++i)
        ref[i] = 0.0;
    auto store = [&](uint64_t slot, double value) { ref[slot] = value; };
    reference::SlotsOf<decltype(store)> slots{store};
    reference::walkReference(count, step, slots);
}

}  // namespace tonalyx::detail
