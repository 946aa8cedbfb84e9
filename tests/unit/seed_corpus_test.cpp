// Each seed of the reader's and the measurement's fuzz corpora passes its
// fuzz target's checks and gives the answer its name says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "measure_check.h"
#include "recording_check.h"
#include "tonalyx/tonalyx.h"

namespace {

// Calls `check` with the name and bytes of every file in the corpus folder;
// returns how many there were.
int forEachSeed(const char* folder, const std::function<void(const std::string&, const std::vector<uint8_t>&)>& check)
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TONALYX_SOURCE_DIR) / folder)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::ifstream in(entry.path(), std::ios::binary);
        check(name, std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
        ++seeds;
    }
    return seeds;
}

}  // namespace

// Whole and piecewise reads agree, results in range, time and heap within
// bounds; bad-* refused, the others read.
TEST(RecordingSeeds, PassTheChecksAndAreWhatTheirNamesSay)
{
    int refused = 0;
    const int seeds = forEachSeed("fuzz/corpus-recording", [&](const std::string& name, const std::vector<uint8_t>& bytes) {
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
// range; tone-HZ-* holds that tone, none-REASON none for that reason (as
// the seeds were made, by wavegen), bad-* is refused.
TEST(MeasureSeeds, PassTheChecksAndGiveTheAnswersTheirNamesSay)
{
    const int seeds = forEachSeed("fuzz/corpus-measure", [](const std::string& name, const std::vector<uint8_t>& bytes) {
        const CheckedMeasure checked = checkedMeasure(bytes.data(), bytes.size());
        EXPECT_EQ(checked.broken, "") << checked.line;
        const size_t dash = name.find('-');
        const std::string kind = name.substr(0, dash), rest = name.substr(dash + 1, name.size() - dash - 5);
        if (kind == "bad") {
            EXPECT_NE(checked.status, TONALYX_OK);
        } else if (kind == "tone") {
            EXPECT_TRUE(checked.line.starts_with("tone=" + rest.substr(0, rest.find('-')) + " ")) << checked.line;
        } else {
            EXPECT_TRUE(checked.line.starts_with("tone=none ") && checked.line.ends_with(" reason=" + rest))
                << checked.line;
        }
    });
    EXPECT_EQ(seeds, 17);
}
