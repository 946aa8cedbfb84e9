// Every sample layout the reader takes, in every byte order and header
// (RIFF, RIFX, RF64, BW64), 1 to 8 channels, plain and extensible fmt
// chunks, from a file and from a pipe. Each expected value is worked out
// from the number the test wrote: a whole number of v bits stands for
// code / 2^(v - 1), a G.711 code for its value in the standard's table
// (checked against a second implementation).
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "common/bit_copy.h"
#include "recording/recording.h"
#include "recording_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

using tonalyx::Status;
using tonalyx::detail::recording::readRecording;
using tonalyx::detail::recording::ReadOutcome;
using tonalyx::detail::recording::Recording;

namespace {

enum class Kind { integer, floating, muLaw, aLaw };

struct FormatRow {
    const char* name;
    const char* header;  // RIFF, RIFX, RF64 or BW64
    Kind kind;
    int validBits;
    int containerBytes;  // the bits rounded up to bytes, or more
};

const std::vector<FormatRow> kFormats = {
    {"u4", "RIFF", Kind::integer, 4, 1},         {"u8", "RIFF", Kind::integer, 8, 1},
    {"s12", "RIFF", Kind::integer, 12, 2},       {"s16", "RIFF", Kind::integer, 16, 2},
    {"s20", "RIFF", Kind::integer, 20, 3},       {"s20 in 4", "RIFF", Kind::integer, 20, 4},
    {"s24", "RIFF", Kind::integer, 24, 3},       {"s32", "RIFF", Kind::integer, 32, 4},
    {"s36", "RIFF", Kind::integer, 36, 5},       {"s45", "RIFF", Kind::integer, 45, 6},
    {"s53", "RIFF", Kind::integer, 53, 7},       {"s64", "RIFF", Kind::integer, 64, 8},
    {"f32", "RIFF", Kind::floating, 32, 4},      {"f64", "RIFF", Kind::floating, 64, 8},
    {"mu-law", "RIFF", Kind::muLaw, 8, 1},       {"A-law", "RIFF", Kind::aLaw, 8, 1},
    {"RIFX u8", "RIFX", Kind::integer, 8, 1},    {"RIFX s16", "RIFX", Kind::integer, 16, 2},
    {"RIFX s24", "RIFX", Kind::integer, 24, 3},  {"RIFX s45", "RIFX", Kind::integer, 45, 6},
    {"RIFX f32", "RIFX", Kind::floating, 32, 4}, {"RIFX f64", "RIFX", Kind::floating, 64, 8},
    {"RIFX mu-law", "RIFX", Kind::muLaw, 8, 1},  {"RF64 s24", "RF64", Kind::integer, 24, 3},
    {"BW64 s16", "BW64", Kind::integer, 16, 2},  {"BW64 f32", "BW64", Kind::floating, 32, 4},
};

// G.711 codes and their 16-bit values (as audioop.ulaw2lin and alaw2lin
// give them).
const std::vector<std::pair<uint8_t, int>> kMuLaw = {{0x00, -32124}, {0x0F, -16764}, {0x33, -3516}, {0x55, -716},
                                                     {0x7F, 0},      {0x80, 32124},  {0xAA, 5372},  {0xD5, 716},
                                                     {0xFF, 0}};
const std::vector<std::pair<uint8_t, int>> kALaw = {{0x00, -5504}, {0x0F, -6784}, {0x33, -11520}, {0x55, -8},
                                                    {0x7F, -848},  {0x80, 5504},  {0xAA, 32256},  {0xD5, 8},
                                                    {0xFF, 848}};

// Sample n of the data: the extremes first, then a sine over 12 samples
// rounded to 24 significant bits (so that each value is a float).
int64_t codeOf(const FormatRow& row, size_t n)
{
    const int v = row.validBits;
    const int64_t top = v == 64 ? INT64_MAX : (int64_t{1} << (v - 1)) - 1;
    if (n == 0)
        return -top - 1;
    if (n == 1)
        return top;
    const int kept = std::min(v, 24);
    const double sine = std::sin(2 * M_PI * static_cast<double>(n % 12) / 12.0) * 0.75;
    return static_cast<int64_t>(std::lround(std::ldexp(sine, kept - 1))) * (int64_t{1} << (v - kept));
}

struct Samples {
    Bytes data;
    std::vector<float> expected;
};

Samples samplesFor(const FormatRow& row, size_t count)
{
    const bool bigEndian = std::string(row.header) == "RIFX";
    Samples out;
    for (size_t n = 0; n < count; ++n) {
        Bytes bytes;
        float value = 0.0f;
        if (row.kind == Kind::integer) {
            const int64_t code = codeOf(row, n);
            bytes = integerSample(code, row.validBits, row.containerBytes, bigEndian);
            value = static_cast<float>(static_cast<double>(code) / std::ldexp(1.0, row.validBits - 1));
        } else if (row.kind == Kind::floating) {
            const double x = std::sin(0.37 * static_cast<double>(n)) * 0.8;
            value = static_cast<float>(x);
            bytes = row.validBits == 64 ? field(bitCopy<uint64_t>(x), 8, bigEndian)
                                        : field(bitCopy<uint32_t>(value), 4, bigEndian);
        } else {
            const auto& [code, linear] = (row.kind == Kind::muLaw ? kMuLaw : kALaw)[n % kMuLaw.size()];
            bytes = {code};
            value = static_cast<float>(linear) / 32768.0f;
        }
        out.data.insert(out.data.end(), bytes.begin(), bytes.end());
        out.expected.push_back(value);
    }
    return out;
}

uint16_t tagOf(Kind kind)
{
    return kind == Kind::integer ? 1 : kind == Kind::floating ? 3 : kind == Kind::muLaw ? 7 : 6;
}

class EveryLayout : public ::testing::TestWithParam<std::tuple<size_t, uint16_t, bool, bool>> {};

TEST_P(EveryLayout, ReadsTheValuesWritten)
{
    const auto [index, channels, extensible, pipe] = GetParam();
    const FormatRow& row = kFormats[index];
    const bool bigEndian = std::string(row.header) == "RIFX", wide = std::string(row.header).ends_with("64");
    const Samples samples = samplesFor(row, 24u * channels);
    const uint16_t containerBits = static_cast<uint16_t>(8 * row.containerBytes);
    const Chunk fmt =
        extensible ? fmtExtensible(channels, 44100, containerBits, static_cast<uint16_t>(row.validBits),
                                   tagOf(row.kind), bigEndian)
                   : fmtPlain(tagOf(row.kind), channels, 44100, static_cast<uint16_t>(row.validBits), {},
                              bigEndian, static_cast<uint16_t>(channels * row.containerBytes));
    std::vector<Chunk> chunks = {fmt, {"LIST", Bytes(3, 'x'), {}}, {"data", samples.data, {}}};
    if (wide) {
        chunks.insert(chunks.begin(), ds64(samples.data.size()));
        chunks.back().declared = 0xFFFFFFFF;
    }
    const Bytes file = riffFile(chunks, row.header);

    TestSource source(file, pipe ? 3 : SIZE_MAX, SIZE_MAX, !pipe);
    Recording recording;
    const ReadOutcome outcome = readRecording(source, recording);
    ASSERT_EQ(outcome.status, Status::ok) << outcome.error;
    EXPECT_EQ(recording.channels, channels);
    EXPECT_EQ(recording.sampleRate, 44100u);
    EXPECT_EQ(recording.samples, samples.expected);
    // Plain PCM in a container wider than its bits says so only in
    // blockAlign, which is noted.
    const bool wider = !extensible && row.kind == Kind::integer && row.containerBytes * 8 >= row.validBits + 8;
    EXPECT_EQ(outcome.note.empty(), !wider) << outcome.note;
}

INSTANTIATE_TEST_SUITE_P(All, EveryLayout,
                         ::testing::Combine(::testing::Range(size_t{0}, kFormats.size()), ::testing::Values(1, 3, 8),
                                            ::testing::Bool(), ::testing::Bool()));

// blockAlign against the format: a usable container is taken from it,
// else the format's own size; either way a note says so. A container
// smaller than its valid bits cannot be resolved.
TEST(RecordingFormats, BlockAlignThatDisagrees)
{
    struct Row {
        const char* what;
        Chunk fmt;
        Bytes data;
        std::vector<float> expected;  // empty: refused
        std::string text;             // the note, or the error
    };
    const Bytes two16 = {0x00, 0x40, 0x00, 0xC0};  // 0.5, -0.5 in 16 bits
    const std::vector<Row> rows = {
        {"16 bits, align 0: trust the bits", fmtPlain(1, 1, 8000, 16, {}, false, 0), two16, {0.5f, -0.5f},
         "block align 0 does not match 1 x 2-byte samples; read as 2-byte samples"},
        {"16-bit stereo, align 3: trust the bits", fmtPlain(1, 2, 8000, 16, {}, false, 3), two16, {0.5f, -0.5f},
         "block align 3 does not match 2 x 2-byte samples; read as 2-byte samples"},
        {"8 bits, align 2: 2-byte containers", fmtPlain(1, 1, 8000, 8, {}, false, 2), {0x00, 0xC0, 0x00, 0x40},
         {-0.5f, 0.5f}, "block align 2 does not match 1 x 1-byte samples; read as 2-byte samples"},
        {"float, align 8: trust the bits", fmtPlain(3, 1, 8000, 32, {}, false, 8),
         {0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x80, 0xBF}, {0.5f, -1.0f},
         "block align 8 does not match 1 x 4-byte samples; read as 4-byte samples"},
        {"mu-law, align 2: one byte a sample", fmtPlain(7, 1, 8000, 8, {}, false, 2), {0x80, 0x00},
         {32124.0f / 32768, -32124.0f / 32768}, "block align 2 does not match 1 x 1-byte samples; read as 1-byte samples"},
        {"valid bits above the container", fmtExtensible(1, 8000, 16, 24, 1), Bytes(6, 0), {},
         "unsupported sample format: 24 valid bits in a 16-bit container"},
        {"72 bits", fmtPlain(1, 1, 8000, 72), Bytes(18, 0), {}, "unsupported sample format: 72 bits"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Bytes file = riffFile({row.fmt, {"data", row.data, {}}});
        TestSource source(file);
        Recording recording;
        const ReadOutcome outcome = readRecording(source, recording);
        if (row.expected.empty()) {
            EXPECT_EQ(outcome.status, Status::noData);
            EXPECT_EQ(outcome.error, row.text);
            continue;
        }
        ASSERT_EQ(outcome.status, Status::ok) << outcome.error;
        EXPECT_EQ(outcome.note, row.text);
        EXPECT_EQ(recording.samples, row.expected);
    }
}

}  // namespace
