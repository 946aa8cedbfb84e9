// The reader's bounds, whatever a header declares: chunks walked before
// the data, bytes read past chunks on inputs that can seek, and the room
// the samples take.
#include <gtest/gtest.h>

#include "allocation_meter.h"
#include "recording/recording.h"
#include "recording_bytes.h"

using tonalyx::Status;
using tonalyx::detail::recording::kMaxChunksBeforeData;
using tonalyx::detail::recording::kMaxSamples;
using tonalyx::detail::recording::readRecording;
using tonalyx::detail::recording::Recording;

namespace {

const Chunk kFmt = fmtPlain(1, 1, 8000, 16);
const Chunk kData = {"data", {0x00, 0x40, 0x00, 0xC0}, {}};

Bytes junkThen(size_t junk, const std::vector<Chunk>& rest)
{
    std::vector<Chunk> chunks(junk, Chunk{"JUNK", {}, {}});
    chunks.insert(chunks.end(), rest.begin(), rest.end());
    return riffFile(chunks);
}

// The fmt chunk counts too; chunks after the data are never walked.
TEST(RecordingBounds, AThousandChunksBeforeTheData)
{
    const std::string tooMany = "too many chunks before the data (more than 1000)";
    struct Row {
        const char* what;
        Bytes file;
        std::string error;
    };
    const std::vector<Row> rows = {
        {"999 and fmt", junkThen(kMaxChunksBeforeData - 1, {kFmt, kData}), ""},
        {"1000 and fmt", junkThen(kMaxChunksBeforeData, {kFmt, kData}), tooMany},
        {"fmt, data, then 5000", concat({riffFile({kFmt, kData}), Bytes(5000 * 8, 0)}), ""},
        // The header alone, then zero-size chunks with zero ids without end.
        {"zeros", concat({{'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'}}), tooMany},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestSource source(row.file, 5);
        source.endlessFill = row.what[0] == 'z' ? 0 : -1;
        Recording recording;
        const auto outcome = readRecording(source, recording);
        EXPECT_EQ(outcome.error, row.error);
        EXPECT_EQ(outcome.status, row.error.empty() ? Status::ok : Status::noData);
        // Read no further than the chunk headers that were walked.
        EXPECT_LE(source.delivered, 12 + 8 * (kMaxChunksBeforeData + 2) + 16 + 4);
    }
}

// A 1 MiB chunk before the format, and one that claims 4 GiB: an input
// that can seek passes over them, a pipe reads through them.
TEST(RecordingBounds, LargeChunksSkippedBySeeking)
{
    const Bytes file = riffFile({{"JUNK", Bytes(1 << 20, 0xAA), {}}, kFmt, kData});
    const Bytes claims = riffFile({kFmt, {"LIST", Bytes(10, 0), 0xFFFFFFF0}, kData});
    for (const bool seekable : {true, false}) {
        SCOPED_TRACE(seekable ? "file" : "pipe");
        TestSource source(file, 4096, SIZE_MAX, seekable);
        Recording recording;
        ASSERT_EQ(readRecording(source, recording).status, Status::ok);
        EXPECT_EQ(recording.samples, (std::vector<float>{0.5f, -0.5f}));
        if (seekable)
            EXPECT_LT(source.delivered, 64u * 1024);
        else
            EXPECT_GE(source.delivered, 1u << 20);

        TestSource past(claims, 4096, SIZE_MAX, seekable);
        EXPECT_EQ(readRecording(past, recording).error, "no data chunk");
    }
}

// 8 channels at 768 kHz without end: the first kMaxSamples samples (8.192
// s) are kept, and the heap never holds more than them and the 4 MiB of
// first room; a header that lies about its length sets aside no more.
TEST(RecordingBounds, SamplesStopAtTheMemoryBound)
{
    const Bytes header = riffFile({fmtPlain(1, 8, 768000, 8), {"data", {}, 0}});
    TestSource endless(header, SIZE_MAX);
    endless.endlessFill = 0xC0;  // 0.5
    Recording recording;
    startAllocationPeak();
    ASSERT_EQ(readRecording(endless, recording).status, Status::ok);
    EXPECT_LE(allocationPeak(), tonalyx::detail::recording::kMaxSampleBytes + (5u << 20));
    EXPECT_TRUE(recording.cutShort);
    EXPECT_EQ(recording.samples.size(), kMaxSamples);
    EXPECT_EQ(recording.samples.capacity(), kMaxSamples);
    EXPECT_EQ(static_cast<double>(recording.frames()) / 768000, 8.192);
    EXPECT_EQ(recording.samples.back(), 0.5f);

    const Bytes liar = riffFile({fmtPlain(1, 8, 768000, 8), {"data", Bytes(16, 0x80), 0xFFFFFFF0}});
    TestSource lying(liar);
    ASSERT_EQ(readRecording(lying, recording).status, Status::ok);
    EXPECT_EQ(recording.frames(), 2u);
    EXPECT_LE(recording.samples.capacity(), kMaxSamples);
}

}  // namespace
