// Every seed of the fuzz corpus and every input a fuzz run once failed on
// runs to an end with a status the tool defines (under the sanitizer build,
// without a report); the regression inputs end as each is expected to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "core/api.h"
#include "wave_bytes.h"

namespace {

constexpr int kNoSamples = 65533;  // 253 in its 16-bit form

const std::filesystem::path kSource(TONALYX_SOURCE_DIR);

Bytes readInput(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Folder {
    const char* path;
    int atLeast;  // a folder that lost its inputs must not pass unnoticed
};

const Folder kFolders[] = {
    {"fuzz/corpus", 20},
    {"tests/fuzz-regressions", 10},
};

}  // namespace

TEST(FuzzInputs, RunToADefinedEnd)
{
    for (const Folder& folder : kFolders) {
        const std::filesystem::path dir = kSource / folder.path;
        ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir << " is missing";
        int inputs = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (!entry.is_regular_file())
                continue;
            const Bytes bytes = readInput(entry.path());
            int status = 0;
            status = runFuzzInput(bytes.data(), bytes.size());
            EXPECT_TRUE(status == 0 || status == kNoSamples) << entry.path() << ": status " << status;
            ++inputs;
        }
        EXPECT_GE(inputs, folder.atLeast) << "inputs in " << dir;
    }
}

// How each regression input must end: its status and a line it prints.
struct Regression {
    const char* name;
    int status;
    const char* printed;
};

void PrintTo(const Regression& regression, std::ostream* out)
{
    *out << regression.name;
}

// What a run prints on standard output.
class StandardOutput final : public tonalyx::OutputSink {
public:
    void write(tonalyx::Stream stream, tonalyx::OutputKind, std::string_view piece) override
    {
        if (stream == tonalyx::Stream::out)
            text += piece;
    }
    std::string text;
};

class FuzzRegression : public testing::TestWithParam<Regression> {};

TEST_P(FuzzRegression, EndsAsExpected)
{
    const Regression& want = GetParam();
    const std::filesystem::path path = kSource / "tests/fuzz-regressions" / (std::string(want.name) + ".bin");
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    const Bytes bytes = readInput(path);
    StandardOutput printed;
    EXPECT_EQ(runFuzzInput(bytes.data(), bytes.size(), printed), want.status);
    EXPECT_NE(printed.text.find(want.printed), std::string::npos) << printed.text;
}

const Regression kRegressions[] = {
    {"header-cut-after-6-bytes", kNoSamples, "ERROR: cannot read header of main chunk\n"},
    {"format-cut-inside-bits", kNoSamples, "ERROR: no sample data loaded\n"},
    // A data length of 2^31 or more loads nothing, through a pipe as well.
    {"data-length-all-ones-through-pipe", kNoSamples, "ERROR: no sample data loaded\n"},
    {"bits-per-sample-0-traced", kNoSamples, "ERROR: no sample data loaded\n"},
    {"data-length-0-all-listings", kNoSamples, "ERROR: no sample data loaded\n"},
    // Over a billion slots declared, four present: the references are 0
    // past slot 0, every candidate gives 0 and the last one wins.
    {"data-length-2-31-minus-2-length-4096", 0, "bestResult=0.000000 best matching freq.=1000\n"},
    // 5 bytes of 16-bit data are 2 slots; 600 bytes of 24-bit data 200.
    {"odd-data-length-16-bit", 0, "WARNING: length reduced to 2, the number of sample slots loaded!\n"},
    {"bits-24-over-a-block-boundary", 0, "WARNING: length reduced to 200, the number of sample slots loaded!\n"},
    {"odd-data-length-8-bit", 0, "\nbestResult="},
    // -length -65534: restricted to 4096, then reduced to the 4 slots.
    {"negative-length-largest-code", 0, "WARNING: length restricte to 4096!\n"},
    {"negative-length-largest-code", 0, "WARNING: length reduced to 4, the number of sample slots loaded!\n"},
};

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzRegression, testing::ValuesIn(kRegressions),
                         [](const testing::TestParamInfo<Regression>& info) {
                             std::string name = std::to_string(info.index) + "_" + info.param.name;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });
