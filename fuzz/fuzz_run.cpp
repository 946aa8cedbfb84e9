// libFuzzer target: one whole run of the tool, in process, on arbitrary
// file bytes with an option set taken from the input (see fuzz_input.h).
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The runs' standard output goes to a sink.
    const int sink = open("/dev/null", O_WRONLY);
    dup2(sink, STDOUT_FILENO);
    close(sink);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    runFuzzInput(data, size);
    return 0;
}
