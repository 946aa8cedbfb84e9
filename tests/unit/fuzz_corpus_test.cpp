// Every seed of the fuzz corpus and every input a fuzz run once failed on
// runs to an end with a status the tool defines (under the sanitizer build,
// without a report).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz_input.h"
#include "wave_bytes.h"

TEST(FuzzInputs, RunToADefinedEnd)
{
    int inputs = 0;
    for (const char* folder : {"fuzz/corpus", "tests/fuzz-regressions"}) {
        const std::filesystem::path dir = std::filesystem::path(TONALYX_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(dir))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            int status = 0;
            status = runFuzzInput(bytes.data(), bytes.size());
            EXPECT_TRUE(status == 0 || status == 65533) << entry.path() << ": status " << status;
            ++inputs;
        }
    }
    EXPECT_GE(inputs, 20);
}
