// Each seed of the recording reader's fuzz corpus passes the fuzz target's
// checks (whole and piecewise reads agree, results in range, time and
// heap within bounds), and is read
// or refused as its name says (bad-* refused).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "recording_check.h"

TEST(RecordingSeeds, PassTheChecksAndAreWhatTheirNamesSay)
{
    const std::filesystem::path dir = std::filesystem::path(TONALYX_SOURCE_DIR) / "fuzz/corpus-recording";
    int refused = 0, read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const CheckedRead checked = checkedRead(bytes.data(), bytes.size());
        EXPECT_EQ(checked.broken, "");
        const bool bad = entry.path().filename().string().starts_with("bad-");
        EXPECT_EQ(checked.outcome.status, bad ? tonalyx::Status::noData : tonalyx::Status::ok) << checked.outcome.error;
        (bad ? refused : read) += 1;
    }
    EXPECT_EQ(refused, 7);
    EXPECT_EQ(read, 28);
}
