// The recording reader on what recorders and converters write: every
// sample format in every fmt layout and chunk order, unknown data lengths,
// RF64, the 60-second cap, the error texts and failing sources. Expected
// samples are worked out by hand from the bytes.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "recording/recording.h"
#include "recording_bytes.h"

using tonalyx::Status;
using tonalyx::detail::recording::readRecording;
using tonalyx::detail::recording::ReadOutcome;
using tonalyx::detail::recording::Recording;

using namespace std::string_literals;

namespace {

constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;
constexpr float twoPow(int exponent)
{
    float value = 1.0f;
    for (; exponent > 0; --exponent)
        value *= 2.0f;
    for (; exponent < 0; ++exponent)
        value /= 2.0f;
    return value;
}

struct SampleCase {
    const char* name;
    uint16_t tag;
    uint16_t bits;
    Bytes data;                  // mono samples, little-endian
    std::vector<float> expected;
};

const std::vector<SampleCase>& sampleCases()
{
    static const std::vector<SampleCase> cases = {
        {"u8", kPcm, 8, {0x00, 0x80, 0xFF, 0xC0, 0x01}, {-1.0f, 0.0f, 127.0f / 128, 0.5f, -127.0f / 128}},
        {"s16", kPcm, 16, {0x00, 0x80, 0x00, 0x40, 0xFF, 0x7F, 0xFF, 0xFF, 0x01, 0x00},
         {-1.0f, 0.5f, 32767.0f / 32768, -twoPow(-15), twoPow(-15)}},
        {"s24", kPcm, 24, {0x00, 0x00, 0x80, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xC0},
         {-1.0f, 0.5f, 8388607.0f / 8388608, -twoPow(-23), -0.5f}},
        // 2^31 - 1 has more bits than a float holds and rounds up to 2^31.
        {"s32", kPcm, 32,
         {0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x00, 0x00, 0x00, 0x80, 0x00,
          0x00, 0x00},
         {-1.0f, 0.5f, 1.0f, twoPow(-31), twoPow(-24)}},
        // 0.25, -1.5, a NaN, an infinity, the smallest subnormal.
        {"f32", kFloat, 32,
         {0x00, 0x00, 0x80, 0x3E, 0x00, 0x00, 0xC0, 0xBF, 0x00, 0x00, 0xC0, 0x7F, 0x00, 0x00, 0x80, 0x7F, 0x01, 0x00,
          0x00, 0x00},
         {0.25f, -1.5f, 0.0f, 0.0f, std::numeric_limits<float>::denorm_min()}},
        // 0.1, -2, an infinity, 2^200 (beyond float), 1 + 2^-30 (rounds to 1).
        {"f64", kFloat, 64,
         concat({le(0x3FB999999999999Aull, 8), le(0xC000000000000000ull, 8), le(0x7FF0000000000000ull, 8),
                 le(0x4C70000000000000ull, 8), le(0x3FF0000000400000ull, 8)}),
         {0.1f, -2.0f, 0.0f, 0.0f, 1.0f}},
    };
    return cases;
}

enum class Layout { plain16, plain18, extensible };
enum class Order { listBeforeFmt, chunksBetween, oddChunk, chunksAfterData };

Chunk formatChunk(Layout layout, const SampleCase& sample, uint16_t channels, uint32_t rate)
{
    switch (layout) {
    case Layout::plain16: return fmtPlain(sample.tag, channels, rate, sample.bits);
    case Layout::plain18: return fmtPlain(sample.tag, channels, rate, sample.bits, le(0, 2));
    case Layout::extensible: return fmtExtensible(channels, rate, sample.bits, sample.bits, sample.tag);
    }
    return {};
}

Bytes cut(const Bytes& bytes, size_t size)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size));
}

Chunk textChunk(const char* id, const std::string& text)
{
    return {id, Bytes(text.begin(), text.end()), {}};
}

std::vector<Chunk> ordered(Order order, const Chunk& fmt, const Chunk& data)
{
    switch (order) {
    case Order::listBeforeFmt: return {textChunk("LIST", "INFOISFT\x06\0\0\0writer"s), fmt, data};
    case Order::chunksBetween:
        return {fmt, {"JUNK", Bytes(28, 0), {}}, {"fact", le(5, 4), {}}, {"PEAK", Bytes(24, 0x7F), {}},
                textChunk("bext", "a description"), data};
    case Order::oddChunk: return {textChunk("odd ", "abc"), fmt, textChunk("note", "x"), data};
    case Order::chunksAfterData:
        return {fmt, data, textChunk("LIST", "INFOICMT\x04\0\0\0noise"s), {"id3 ", Bytes(9, 0xFF), {}}};
    }
    return {};
}

struct Read {
    ReadOutcome outcome;
    Recording recording;
};

Read readBytes(const Bytes& bytes, size_t piece = SIZE_MAX)
{
    TestSource source(bytes, piece);
    Read read;
    read.outcome = readRecording(source, read.recording);
    EXPECT_LE(source.seeks, 1) << "a pipe refuses a seek once for all";
    return read;
}

class FormatsLayoutsOrders : public ::testing::TestWithParam<std::tuple<Layout, size_t, Order>> {};

TEST_P(FormatsLayoutsOrders, DecodeTheHandWorkedValues)
{
    const auto [layout, index, order] = GetParam();
    const SampleCase& sample = sampleCases()[index];
    const Bytes file = riffFile(ordered(order, formatChunk(layout, sample, 1, 8000), {"data", sample.data, {}}));

    // Whole reads, and a pipe that delivers 3 bytes at a time.
    for (const size_t piece : {SIZE_MAX, size_t{3}}) {
        SCOPED_TRACE(sample.name + std::string(" piece ") + std::to_string(piece));
        const Read read = readBytes(file, piece);
        ASSERT_EQ(read.outcome.status, Status::ok) << read.outcome.error;
        EXPECT_EQ(read.outcome.error, "");
        EXPECT_EQ(read.recording.channels, 1u);
        EXPECT_EQ(read.recording.sampleRate, 8000u);
        EXPECT_FALSE(read.recording.cutShort);
        EXPECT_EQ(read.recording.samples, sample.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(All, FormatsLayoutsOrders,
                         ::testing::Combine(::testing::Values(Layout::plain16, Layout::plain18, Layout::extensible),
                                            ::testing::Range(size_t{0}, size_t{6}),
                                            ::testing::Values(Order::listBeforeFmt, Order::chunksBetween,
                                                              Order::oddChunk, Order::chunksAfterData)));

// Extensible containers wider than the valid bits: the samples sit in the
// high bits, the low ones are zero.
TEST(RecordingReader, ValidBitsBelowTheContainer)
{
    struct Row {
        uint16_t container, valid;
        Bytes data;
        std::vector<float> expected;
    };
    const std::vector<Row> rows = {
        {32, 24, {0x00, 0x00, 0x00, 0x40, 0x00, 0x01, 0x00, 0x80, 0x00, 0xFF, 0xFF, 0xFF},
         {0.5f, -1.0f + twoPow(-23), -twoPow(-23)}},
        {24, 20, {0x00, 0x00, 0x40, 0x10, 0x00, 0x80}, {0.5f, -1.0f + twoPow(-19)}},
        {16, 12, {0xF0, 0xFF, 0x10, 0x00}, {-twoPow(-11), twoPow(-11)}},
        {32, 0, {0x00, 0x00, 0x00, 0xC0}, {-0.5f}},  // 0 valid bits: all of the container
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.valid) + " in " + std::to_string(row.container));
        const Bytes file = riffFile({fmtExtensible(1, 48000, row.container, row.valid, kPcm), {"data", row.data, {}}});
        const Read read = readBytes(file);
        ASSERT_EQ(read.outcome.status, Status::ok) << read.outcome.error;
        EXPECT_EQ(read.recording.samples, row.expected);
    }
}

// Frames interleave the channels: sample c of frame f holds f * 8 + c + 1,
// in 16 bits, so that each lands at f * channels + c.
TEST(RecordingReader, OneToEightChannelsInterleaved)
{
    for (uint16_t channels = 1; channels <= 8; ++channels) {
        SCOPED_TRACE(channels);
        Bytes data;
        std::vector<float> expected;
        for (int frame = 0; frame < 3; ++frame)
            for (int c = 0; c < channels; ++c) {
                const int code = frame * 8 + c + 1;
                data = concat({data, le(static_cast<uint64_t>(code), 2)});
                expected.push_back(static_cast<float>(code) * twoPow(-15));
            }
        for (const Layout layout : {Layout::plain16, Layout::extensible}) {
            const Chunk fmt = formatChunk(layout, sampleCases()[1], channels, 44100);
            const Read read = readBytes(riffFile({fmt, {"data", data, {}}}));
            ASSERT_EQ(read.outcome.status, Status::ok) << read.outcome.error;
            EXPECT_EQ(read.recording.channels, channels);
            EXPECT_EQ(read.recording.frames(), 3u);
            EXPECT_EQ(read.recording.samples, expected);
        }
    }
}

// A length the writer could not know, or one past the end, reads to the
// end of the input; a partial last frame is dropped either way.
TEST(RecordingReader, DataLengthsAndPartialFrames)
{
    // Stereo 16-bit frames: (1, 2), (3, 4), then half a frame that never
    // ends (even, so that no pad byte follows).
    const Bytes frames = {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00};
    const Bytes partial = {0x05, 0x00};
    const Bytes trailer = riffFile({textChunk("LIST", "INFOtail")});  // bytes that are not samples
    struct Row {
        const char* what;
        std::optional<uint32_t> declared;
        Bytes payload;
        size_t frames;
    };
    const std::vector<Row> rows = {
        {"zero: to the end", 0, concat({frames, partial}), 2},
        {"all ones: to the end", 0xFFFFFFFF, concat({frames, partial}), 2},
        {"pipe placeholder: to the end", 0x7FFFF000, frames, 2},
        {"past the end", 1000, concat({frames, partial}), 2},
        {"exact", 8, frames, 2},
        {"one frame and a half", 6, concat({frames, trailer}), 1},
        {"less than a frame", 3, concat({frames, trailer}), 0},
        {"zero with trailing bytes as samples", 0, concat({frames, Bytes{0x00, 0x80, 0xFF, 0x7F}}), 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Bytes file = riffFile({fmtPlain(kPcm, 2, 8000, 16), {"data", row.payload, row.declared}});
        for (const size_t piece : {SIZE_MAX, size_t{1}, size_t{5}}) {
            const Read read = readBytes(file, piece);
            if (row.frames == 0) {
                EXPECT_EQ(read.outcome.status, Status::noData);
                EXPECT_EQ(read.outcome.error, "no samples in the data chunk");
                EXPECT_TRUE(read.recording.samples.empty());
                continue;
            }
            ASSERT_EQ(read.outcome.status, Status::ok) << read.outcome.error;
            ASSERT_EQ(read.recording.frames(), row.frames);
            for (size_t i = 0; i < 4 && i < row.frames * 2; ++i)
                EXPECT_EQ(read.recording.samples[i], static_cast<float>(i + 1) * twoPow(-15));
        }
    }
    // Where trailing bytes are taken as samples: the frame (-1, 32767/32768).
    const Read tail = readBytes(riffFile({fmtPlain(kPcm, 2, 8000, 16), {"data", rows.back().payload, 0}}));
    ASSERT_EQ(tail.recording.samples.size(), 6u);
    EXPECT_EQ(tail.recording.samples[4], -1.0f);
    EXPECT_EQ(tail.recording.samples[5], 32767.0f / 32768);
}

// RF64 (and BW64): the 32-bit data size is all ones and the ds64 chunk has the real
// one, which may pass 4 GiB.
TEST(RecordingReader, Rf64)
{
    const Bytes frames = {0x00, 0x40, 0x00, 0xC0, 0x00, 0x20, 0x00, 0xE0};  // 0.5, -0.5, 0.25, -0.25
    const Chunk after = textChunk("LIST", "INFOafter");
    struct Row {
        const char* what;
        std::string tag;
        std::vector<Chunk> chunks;
        size_t samples;
    };
    const Chunk fmt = fmtPlain(kPcm, 1, 96000, 16);
    const std::vector<Row> rows = {
        {"ds64 length", "RF64", {ds64(6), fmt, {"data", frames, 0xFFFFFFFF}, after}, 3},
        {"ds64 length past 4 GiB", "RF64", {ds64(0x100000008ull), fmt, {"data", frames, 0xFFFFFFFF}}, 4},
        {"ds64 length 0: to the end", "RF64", {ds64(0), fmt, {"data", frames, 0xFFFFFFFF}}, 4},
        {"no ds64: to the end", "RF64", {fmt, {"data", frames, 0xFFFFFFFF}}, 4},
        {"a 32-bit length in RF64", "RF64", {ds64(2), fmt, {"data", frames, 4}, after}, 2},
        {"BW64 as RF64", "BW64", {ds64(6), fmt, {"data", frames, 0xFFFFFFFF}, after}, 3},
        {"ds64 in a RIFF file is just a chunk", "RIFF", {ds64(2), fmt, {"data", frames, 0xFFFFFFFF}}, 4},
    };
    const std::vector<float> expected = {0.5f, -0.5f, 0.25f, -0.25f};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Read read = readBytes(riffFile(row.chunks, row.tag), 7);
        ASSERT_EQ(read.outcome.status, Status::ok) << read.outcome.error;
        EXPECT_EQ(read.recording.samples, std::vector<float>(expected.begin(), expected.begin() + row.samples));
    }
}

// 60 seconds at 100 Hz of 8-bit mono are 6000 frames; sample i holds the
// byte i mod 256.
TEST(RecordingReader, CutAtSixtySeconds)
{
    auto bytesOf = [](size_t count) {
        Bytes data(count);
        for (size_t i = 0; i < count; ++i)
            data[i] = static_cast<unsigned char>(i % 256);
        return data;
    };
    struct Row {
        const char* what;
        size_t bytes;
        std::optional<uint32_t> declared;
        bool cutShort;
    };
    const std::vector<Row> rows = {
        {"exactly 60 s", 6000, {}, false},
        {"one frame more", 6001, {}, true},
        {"one frame more, length unknown", 6001, 0, true},
        {"much more, length unknown", 300000, 0xFFFFFFFF, true},
        {"60 s declared, more bytes after it", 6010, 6000, false},
        {"just under 60 s", 5999, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Bytes file = riffFile({fmtPlain(kPcm, 1, 100, 8), {"data", bytesOf(row.bytes), row.declared}});
        TestSource source(file, 4096);
        Recording recording;
        const ReadOutcome outcome = readRecording(source, recording);
        ASSERT_EQ(outcome.status, Status::ok) << outcome.error;
        EXPECT_EQ(recording.cutShort, row.cutShort);
        const size_t expectedFrames = std::min<size_t>(row.bytes, 6000);
        ASSERT_EQ(recording.frames(), expectedFrames);
        EXPECT_EQ(recording.samples[expectedFrames - 1],
                  static_cast<float>(static_cast<int>((expectedFrames - 1) % 256) - 128) / 128);
        // The rest is not read: the header, 6000 frames and at most one more.
        EXPECT_LE(source.delivered, 44 + 6001u);
    }
}

// Data far longer than one read: every sample arrives in order, whatever
// the frame size, the length given or not, and the pieces the source
// delivers. Sample k of the s16 data holds k * 7 (mod 2^16), of the s24 data
// k * 1021 (mod 2^24), both as signed numbers.
TEST(RecordingReader, LongDataAcrossBlocks)
{
    struct Row {
        const char* what;
        uint16_t channels, bits;
        size_t samples;
        std::optional<uint32_t> declared;
        size_t piece;
    };
    const std::vector<Row> rows = {
        {"s16 stereo, length given", 2, 16, 200000, {}, 4096},
        {"s16 stereo, length unknown", 2, 16, 200000, 0, 65536},
        {"s24 mono, length given", 1, 24, 90001, {}, 1000},
        {"s24 3 channels, length unknown", 3, 24, 90000, 0xFFFFFFFF, SIZE_MAX},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const int bytes = row.bits / 8;
        const long modulus = 1L << row.bits;
        const long step = row.bits == 16 ? 7 : 1021;
        Bytes data;
        std::vector<float> expected;
        for (size_t k = 0; k < row.samples; ++k) {
            const long code = static_cast<long>(k) * step % modulus;
            const Bytes sample = le(static_cast<uint64_t>(code), bytes);
            data.insert(data.end(), sample.begin(), sample.end());
            const long value = code >= modulus / 2 ? code - modulus : code;
            expected.push_back(static_cast<float>(static_cast<double>(value) / static_cast<double>(modulus / 2)));
        }
        const Bytes file = riffFile(
            {fmtPlain(kPcm, row.channels, 48000, row.bits), {"data", data, row.declared}, textChunk("LIST", "INFOend")});
        const Read read = readBytes(file, row.piece);
        ASSERT_EQ(read.outcome.status, Status::ok) << read.outcome.error;
        if (!row.declared)
            EXPECT_EQ(read.recording.samples, expected);
        else  // read to the end: the LIST chunk's 16 bytes come along as samples
            EXPECT_EQ(std::vector<float>(read.recording.samples.begin(), read.recording.samples.begin() +
                                                                             static_cast<long>(expected.size())),
                      expected);
    }
}

// Every failure a file can hold, as the one line the reader gives.
TEST(RecordingReader, ErrorTexts)
{
    const Chunk fmt = fmtPlain(kPcm, 1, 8000, 16);
    const Chunk data = {"data", {0x01, 0x00}, {}};
    auto withFormat = [&](Chunk format) { return riffFile({format, data}); };
    auto patched = [](Chunk chunk, size_t at, const Bytes& with) {
        std::copy(with.begin(), with.end(), chunk.payload.begin() + static_cast<long>(at));
        return chunk;
    };
    const Bytes wave = riffFile({fmt, data});
    struct Row {
        const char* what;
        Bytes file;
        std::string error;
    };
    const std::vector<Row> rows = {
        {"empty", {}, "not a RIFF/WAVE file"},
        {"short header", cut(wave, 11), "not a RIFF/WAVE file"},
        {"RIFF in the wrong case", riffFile({fmt, data}, "riff"), "not a RIFF/WAVE file"},
        {"not WAVE", concat({cut(wave, 8), {'A', 'V', 'I', ' '}}), "not a RIFF/WAVE file"},
        {"header only", riffFile({}), "no data chunk"},
        {"fmt only", riffFile({fmt}), "no data chunk"},
        {"cut inside a chunk header", cut(wave, 40), "no data chunk"},
        {"a chunk that claims the rest", riffFile({{"LIST", Bytes(10, 0), 0xFFFFFFF0}, fmt, data}), "no data chunk"},
        {"data first", riffFile({data, fmt}), "no fmt chunk before the data chunk"},
        {"no fmt at all", riffFile({data}), "no fmt chunk before the data chunk"},
        {"fmt cut short", cut(wave, 30), "the input ends inside the fmt chunk"},
        {"fmt of 14 bytes", withFormat({"fmt ", Bytes(14, 1), {}}), "fmt chunk of 14 bytes (at least 16)"},
        {"ADPCM", withFormat(fmtPlain(0x0002, 1, 8000, 4)), "unsupported format tag 0x0002"},
        {"MPEG layer 3", withFormat(fmtPlain(0x0055, 1, 8000, 0)), "unsupported format tag 0x0055"},
        {"tag 0xfffd", withFormat(fmtPlain(0xFFFD, 1, 8000, 16)), "unsupported format tag 0xfffd"},
        {"0-bit PCM", withFormat(fmtPlain(kPcm, 1, 8000, 0)), "unsupported sample format: 0 bits"},
        {"72-bit PCM", withFormat(fmtPlain(kPcm, 1, 8000, 72)), "unsupported sample format: 72 bits"},
        {"16-bit float", withFormat(fmtPlain(kFloat, 1, 8000, 16)), "unsupported sample format: 16-bit float"},
        {"extensible in 18 bytes", withFormat(fmtPlain(0xFFFE, 1, 8000, 16, le(0, 2))),
         "fmt chunk of 18 bytes (at least 40 for the extensible format)"},
        {"more valid bits than the container", withFormat(fmtExtensible(1, 8000, 24, 32, kPcm)),
         "unsupported sample format: 32 valid bits in a 24-bit container"},
        {"float with fewer valid bits", withFormat(fmtExtensible(1, 8000, 32, 24, kFloat)),
         "unsupported sample format: 24 valid bits in 32-bit float"},
        {"extensible MPEG", withFormat(fmtExtensible(1, 8000, 16, 16, 0x0055)), "unsupported sub-format 0x0055"},
        {"a GUID of another family", withFormat(patched(fmtExtensible(1, 8000, 16, 16, kPcm), 30, {0x21, 0x07})),
         "unsupported sub-format GUID"},
        {"the last GUID byte", withFormat(patched(fmtExtensible(1, 8000, 16, 16, kPcm), 39, {0x72})),
         "unsupported sub-format GUID"},
        {"0 channels", withFormat(fmtPlain(kPcm, 0, 8000, 16)), "0 channels"},
        {"9 channels", withFormat(fmtPlain(kPcm, 9, 8000, 16)), "9 channels (at most 8)"},
        {"65535 channels", withFormat(fmtPlain(kPcm, 65535, 8000, 16)), "65535 channels (at most 8)"},
        {"rate 0", withFormat(fmtPlain(kPcm, 1, 0, 16)), "sample rate 0"},
        {"rate above the limit", withFormat(fmtPlain(kPcm, 1, 768001, 16)), "sample rate 768001 (at most 768000)"},
        {"empty data", riffFile({fmt, {"data", {}, 2}}), "no samples in the data chunk"},
        {"short ds64", riffFile({{"ds64", Bytes(8, 0), {}}, fmt, data}, "RF64"), "ds64 chunk of 8 bytes (at least 16)"},
        {"ds64 cut short", cut(riffFile({ds64(2), fmt, data}, "RF64"), 12 + 8 + 10), "the input ends inside the ds64 chunk"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Read read = readBytes(row.file);
        EXPECT_EQ(read.outcome.status, Status::noData);
        EXPECT_EQ(read.outcome.error, row.error);
        EXPECT_TRUE(read.recording.samples.empty());
    }
    // The limits themselves are fine.
    for (const Chunk& ok : {fmtPlain(kPcm, 8, 768000, 16), fmtPlain(kPcm, 1, 1, 16)})
        EXPECT_EQ(readBytes(riffFile({ok, {"data", Bytes(16, 0), {}}})).outcome.status, Status::ok);
}

// A source that fails partway gives readError with its own words, wherever
// the failure falls.
TEST(RecordingReader, FailingSource)
{
    const Bytes file = riffFile({textChunk("LIST", "INFOx"), fmtPlain(kPcm, 1, 8000, 16), {"data", Bytes(4000, 1), {}}});
    // The LIST chunk ends at 12 + 8 + 6, the fmt chunk at 50, the data
    // starts at 58.
    for (const size_t failAt : {size_t{0}, size_t{6}, size_t{12}, size_t{20}, size_t{30}, size_t{50}, size_t{58},
                                size_t{59}, size_t{2000}, file.size() - 1}) {
        SCOPED_TRACE(failAt);
        TestSource source(file, 64, failAt);
        Recording recording;
        const ReadOutcome outcome = readRecording(source, recording);
        EXPECT_EQ(outcome.status, Status::readError);
        EXPECT_EQ(outcome.error, "device gone");
        EXPECT_TRUE(recording.samples.empty());
    }
}

// A source that claims to have delivered more than it was asked for is
// taken as broken, not trusted.
TEST(RecordingReader, SourceThatOverdelivers)
{
    struct Liar final : tonalyx::ByteSource {
        long read(void*, std::size_t count) override { return static_cast<long>(count) + 1; }
        bool seek(std::uint64_t) override { return false; }
    } liar;
    Recording recording;
    const ReadOutcome outcome = readRecording(liar, recording);
    EXPECT_EQ(outcome.status, Status::readError);
    EXPECT_EQ(outcome.error, "read error");
}

}  // namespace
