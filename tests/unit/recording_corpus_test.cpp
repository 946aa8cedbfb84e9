// The recording reader's fuzz seeds are what their names say, and each
// passes the fuzz target's checks (whole and piecewise reads agree, results
// in range).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "recording_check.h"

namespace {

struct Expected {
    uint64_t frames;    // 0 for a refused file
    uint32_t channels;
    std::string error;
};

// Worked out from the bytes make_corpus_recording.sh writes.
const std::map<std::string, Expected> kSeeds = {
    {"u8", {8, 1, ""}},
    {"s16", {8, 1, ""}},
    {"s24", {4, 1, ""}},
    {"s32", {4, 1, ""}},
    {"f32", {5, 1, ""}},
    {"f64", {2, 1, ""}},
    {"stereo-s16-fmt18", {4, 2, ""}},
    {"extensible-24-in-32", {1, 2, ""}},
    {"extensible-float", {2, 1, ""}},
    {"chunks-around", {8, 1, ""}},
    {"length-0", {8, 1, ""}},
    {"length-all-ones", {8, 1, ""}},
    {"length-pipe", {8, 1, ""}},
    {"length-partial-frame", {3, 2, ""}},
    {"rf64", {4, 1, ""}},
    {"bad-tag-0x0055", {0, 0, "unsupported format tag 0x0055"}},
    {"bad-12-bits", {0, 0, "unsupported sample format: 12 bits"}},
    {"bad-9-channels", {0, 0, "9 channels (at most 8)"}},
    {"bad-data-before-fmt", {0, 0, "no fmt chunk before the data chunk"}},
    {"bad-guid", {0, 0, "unsupported sub-format GUID"}},
    {"bad-rifx", {0, 0, "not a RIFF/WAVE file"}},
};

std::vector<uint8_t> load(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(RecordingSeeds, AreWhatTheirNamesSay)
{
    const std::filesystem::path dir = std::filesystem::path(TONALYX_SOURCE_DIR) / "fuzz/corpus-recording";
    size_t seen = 0;
    for (const auto& [name, expected] : kSeeds) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = load(dir / (name + ".wav"));
        ASSERT_FALSE(bytes.empty());
        const CheckedRead read = checkedRead(bytes.data(), bytes.size());
        EXPECT_EQ(read.broken, "");
        EXPECT_EQ(read.outcome.error, expected.error);
        EXPECT_EQ(read.recording.frames(), expected.frames);
        EXPECT_EQ(read.recording.channels, expected.channels);
        ++seen;
    }
    EXPECT_EQ(seen, static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {})))
        << "a seed without an expectation here";
}

}  // namespace
