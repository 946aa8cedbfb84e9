// The reader handing frames on as it reads them, and reading stretches
// again from a source that can seek, against the values the written codes
// stand for: every common container, both byte orders, stretches across
// the reader's blocks and its scratch, and stretches out of range. A pipe
// keeps its samples instead, and hands on the same frames.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "recording/recording.h"
#include "recording_bytes.h"

using tonalyx::Status;
using namespace tonalyx::detail::recording;

namespace {

// Takes every frame as it comes.
class Collected final : public SampleSink {
public:
    void start(std::uint32_t count, std::uint32_t, std::uint64_t) override { channels = count; }
    void take(const float* frames, std::size_t count) override
    {
        samples.insert(samples.end(), frames, frames + count * channels);
    }
    std::uint32_t channels = 0;
    std::vector<float> samples;
};

struct Layout {
    const char* name;
    std::uint16_t tag;  // 1 integer, 3 float
    int bits;
    bool bigEndian;
    std::uint16_t channels;
};

// Frame n of channel c: codes spread over the range, both signs.
std::int64_t codeOf(std::size_t n, std::uint32_t c, int bits)
{
    const std::int64_t top = (std::int64_t{1} << (bits - 1)) - 1;
    return static_cast<std::int64_t>((n * 7919 + c * 104729) % static_cast<std::uint64_t>(2 * top + 1)) - top;
}

}  // namespace

TEST(RecordingReread, StretchesReadAgainHoldWhatTheCodesStandFor)
{
    constexpr std::size_t kFrames = 12000;  // past a 64 KiB block and the 8192-sample scratch
    const Layout layouts[] = {
        {"8-bit, mono", 1, 8, false, 1},       {"16-bit, stereo", 1, 16, false, 2},
        {"16-bit RIFX, 3 channels", 1, 16, true, 3}, {"24-bit, 3 channels", 1, 24, false, 3},
        {"32-bit, mono", 1, 32, false, 1},     {"float, stereo", 3, 32, false, 2},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        Bytes data;
        std::vector<float> expected;
        for (std::size_t n = 0; n < kFrames; ++n)
            for (std::uint32_t c = 0; c < l.channels; ++c) {
                const std::int64_t code = codeOf(n, c, l.tag == 3 ? 16 : l.bits);
                const double value = static_cast<double>(code) / static_cast<double>(std::int64_t{1} << (l.bits - 1));
                if (l.tag == 3) {
                    const float f = static_cast<float>(code) / 32768.0f;
                    std::uint32_t bits;
                    std::memcpy(&bits, &f, 4);
                    const Bytes b = field(bits, 4, l.bigEndian);
                    data.insert(data.end(), b.begin(), b.end());
                    expected.push_back(f);
                } else {
                    const Bytes b = integerSample(code, l.bits, l.bits / 8, l.bigEndian);
                    data.insert(data.end(), b.begin(), b.end());
                    expected.push_back(static_cast<float>(value));
                }
            }
        const Bytes file = riffFile({fmtPlain(l.tag, l.channels, 8000, static_cast<std::uint16_t>(l.bits), {}, l.bigEndian),
                                     {"data", data, {}}},
                                    l.bigEndian ? "RIFX" : "RIFF");

        TestSource seekable(file, 5000, SIZE_MAX, true);
        Recording recording;
        Collected handed;
        ASSERT_EQ(readRecording(seekable, recording, handed).status, Status::ok);
        EXPECT_EQ(handed.samples, expected);
        ASSERT_TRUE(recording.reread);
        EXPECT_TRUE(recording.samples.empty());
        EXPECT_EQ(recording.frames(), kFrames);
        const struct {
            std::size_t begin, count;
        } stretches[] = {{0, kFrames}, {1, 1}, {kFrames - 1, 1}, {4093, 5000}, {8191, 3}};
        for (std::uint32_t c = 0; c < l.channels; ++c)
            for (const auto& s : stretches) {
                std::vector<float> got(s.count, -9.0f);
                recording.reread->copyChannel(c, s.begin, s.count, got.data());
                for (std::size_t i = 0; i < s.count; ++i)
                    ASSERT_EQ(got[i], expected[(s.begin + i) * l.channels + c]) << c << " " << s.begin << "+" << i;
            }
        EXPECT_FALSE(recording.reread->failed());
        // Past the end, or a channel the file has not: zeros, and a failure.
        std::vector<float> beyond(2, -9.0f);
        recording.reread->copyChannel(0, kFrames - 1, 2, beyond.data());
        EXPECT_EQ(beyond, std::vector<float>(2, 0.0f));
        EXPECT_TRUE(recording.reread->failed());

        TestSource pipe(file, 777);
        Recording held;
        Collected alsoHanded;
        ASSERT_EQ(readRecording(pipe, held, alsoHanded).status, Status::ok);
        EXPECT_FALSE(held.reread);
        EXPECT_EQ(held.samples, expected);
        EXPECT_EQ(alsoHanded.samples, expected);
    }
}
