// libFuzzer target: one whole run of the tool, in process, on arbitrary
// file bytes read from memory, with an option set taken from the input (see
// fuzz_input.h).
#include <cstdint>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    runFuzzInput(data, size);
    return 0;
}
