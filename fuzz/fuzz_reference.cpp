// libFuzzer target, differential: the reference table as fillReference
// builds it against the straightforward stepping of every degree, for a
// slot count, a candidate and a length taken from the input:
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
    for (uint32_t i = 0; i < count; ++i) {
        const double want = modelSine(degrees[i]);
        if (std::memcmp(&fast[i], &want, sizeof want) != 0) {
            std::fprintf(stderr, "%u slots, %u periods, length %u: slot %u is %a, not %a\n", noSamples, noHertz,
                         length, i, fast[i], want);
            std::abort();
        }
    }
    return 0;
}
