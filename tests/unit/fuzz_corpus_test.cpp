// Every seed of each fuzz corpus passes its target's checks and gives the
// answer its name says; every input a fuzz run once failed on runs to an
// end with a status the tool defines (under the sanitizer build, without a
// report), each as it is expected to end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "measure_check.h"
#include "recording_check.h"
#include "tonalyx/tonalyx.h"
#include "api/api.h"
#include "wave_bytes.h"

namespace {

constexpr int kNoSamples = 65533;  // 253 in its 16-bit form

const std::filesystem::path kSource(TONALYX_SOURCE_DIR);

Bytes readInput(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Calls `check` with the name and bytes of every file in the folder (below
// the source folder); returns how many there were.
int forEachFile(const char* folder, const std::function<void(const std::string&, const Bytes&)>& check)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kSource / folder)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        check(name, readInput(entry.path()));
        ++files;
    }
    return files;
}

}  // namespace

TEST(FuzzInputs, RunToADefinedEnd)
{
    // A folder that lost its inputs must not pass unnoticed.
    for (const auto& [folder, atLeast] : {std::pair{"fuzz/corpus", 20}, {"tests/fuzz-regressions", 10}}) {
        const int inputs = forEachFile(folder, [](const std::string&, const Bytes& bytes) {
            const int status = runFuzzInput(bytes.data(), bytes.size());
            EXPECT_TRUE(status == 0 || status == kNoSamples) << "status " << status;
        });
        EXPECT_GE(inputs, atLeast) << folder;
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
    void write(tonalyx::OutputKind, std::string_view piece) override { text += piece; }
    void message(const tonalyx::Message& message) override
    {
        if (tonalyx::consoleStream(message.code) == tonalyx::Stream::out)
            text += message.text;
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

// Whole and piecewise reads agree, results in range, time and heap within
// bounds; bad-* refused, the others read.
TEST(RecordingSeeds, PassTheChecksAndAreWhatTheirNamesSay)
{
    int refused = 0;
    const int seeds = forEachFile("fuzz/corpus-recording", [&](const std::string& name, const Bytes& bytes) {
        const CheckedRead checked = checkedRead(bytes.data(), bytes.size());
        EXPECT_EQ(checked.broken, "");
        const bool bad = name.starts_with("bad-");
        EXPECT_EQ(checked.outcome.status, bad ? tonalyx::Status::noData : tonalyx::Status::ok) << checked.outcome.error;
        refused += bad;
    });
    EXPECT_EQ(refused, 7);
    EXPECT_EQ(seeds, 35);
}

// The same line from memory and through a pipe, each field in its form and
// range; tone-HZ-* holds that tone, none-REASON-* none for that reason (as
// the seeds were made, by wavegen, or found by the fuzzer), bad-* is
// refused.
TEST(MeasureSeeds, PassTheChecksAndGiveTheAnswersTheirNamesSay)
{
    const int seeds = forEachFile("fuzz/corpus-measure", [](const std::string& name, const Bytes& bytes) {
        const CheckedMeasure checked = checkedMeasure(bytes.data(), bytes.size());
        EXPECT_EQ(checked.broken, "") << checked.line;
        const size_t dash = name.find('-');
        const std::string kind = name.substr(0, dash), rest = name.substr(dash + 1, name.size() - dash - 5);
        if (kind == "bad") {
            EXPECT_NE(checked.status, TONALYX_OK);
        } else if (kind == "tone") {
            EXPECT_TRUE(checked.line.starts_with("tone=" + rest.substr(0, rest.find('-')) + " ")) << checked.line;
        } else {
            const size_t at = checked.line.rfind(" reason=");
            const std::string reason = at == std::string::npos ? "" : checked.line.substr(at + 8);
            EXPECT_TRUE(checked.line.starts_with("tone=none ") && !reason.empty() &&
                        (rest == reason || rest.starts_with(reason + "-")))
                << checked.line;
        }
    });
    EXPECT_EQ(seeds, 18);
}
