// libFuzzer target: the measurement on arbitrary bytes, from memory and
// through a pipe, its line checked (see measure_check.h).
#include <cstdio>
#include <cstdlib>

#include "measure_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CheckedMeasure checked = checkedMeasure(data, size);
    if (!checked.broken.empty()) {
        std::fprintf(stderr, "measurement: %s\n  line: %s\n", checked.broken.c_str(), checked.line.c_str());
        std::abort();
    }
    return 0;
}
