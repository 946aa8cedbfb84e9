// libFuzzer target, differential: the reference table as fillReference
// builds it, and the correlation over it, against the straightforward
// stepping of every degree, for a slot count, a candidate and a length
// taken from the input:
//   bytes 0-3: the slot count (little-endian), byte 4: the candidate
//   (100 + 20 x (byte mod 46)), bytes 5-6: the length (mod 4096, + 1).
// The stepping visits about 360 x candidate x length / count degrees, at
// most 360000 since the length is cut to the count.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "analysis/reference_table.h"
#include "stepping_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 7)
        return 0;
    const uint32_t noSamples = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                               static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    const uint32_t noHertz = 100 + 20 * (data[4] % 46u);
    const uint32_t length = (static_cast<uint32_t>(data[5] | data[6] << 8) % 4096) + 1;
    if (noSamples == 0)
        return 0;
    const uint32_t count = length < noSamples ? length : noSamples;

    const double step = referenceStep(noSamples, noHertz);
    std::vector<double> fast(count, 12345.0);
    fillReference(fast.data(), count, step);
    const std::vector<int> degrees = lastDegrees(noSamples, step, count);
    // The correlation walks the same reference without a table: against
    // samples that change in sign and size from slot to slot.
    std::vector<double> samples(count);
    double want = 0.0;
    for (uint32_t i = 0; i < count; ++i) {
        samples[i] = static_cast<double>(static_cast<int>(i * 7919u % 2001u) - 1000) / 1000.0;
        const double value = modelSine(degrees[i]);
        want += samples[i] * value;
        if (std::memcmp(&fast[i], &value, sizeof value) != 0) {
            std::fprintf(stderr, "%u slots, %u periods, length %u: slot %u is %a, not %a\n", noSamples, noHertz,
                         length, i, fast[i], value);
            std::abort();
        }
    }
    const double sum = correlateReference(samples.data(), count, step);
    if (std::memcmp(&sum, &want, sizeof sum) != 0) {
        std::fprintf(stderr, "%u slots, %u periods, length %u: sum %a, not %a\n", noSamples, noHertz, length, sum,
                     want);
        std::abort();
    }
    return 0;
}
