// libFuzzer target: the recording reader on arbitrary bytes, read whole and
// in pieces, each result checked (see recording_check.h).
#include <cstdio>
#include <cstdlib>

#include "recording_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CheckedRead read = checkedRead(data, size);
    if (!read.broken.empty()) {
        std::fprintf(stderr, "recording reader: %s\n", read.broken.c_str());
        std::abort();
    }
    return 0;
}
