#include <gtest/gtest.h>

#include "wave/wave_reader.h"
#include "wave_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

// The format record of the last readFormatOf().
WaveFormat lastFormat;

int readFormatOf(const Bytes& file, Printed* printed, bool verbose = true)
{
    TestRun test(file, verbose);
    test.run.source.seek(12);
    const int got = readSubChunk(test.run);
    *printed = test.take();
    lastFormat = test.run.waveFormat;
    return got;
}

Bytes prefix(const Bytes& bytes, size_t size)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size));
}

}  // namespace

TEST(ReadSubChunk, CanonicalChunkIsTracedFieldByField)
{
    Printed printed;
    EXPECT_EQ(readFormatOf(buildWave({}), &printed), 24);
    EXPECT_EQ(printed.out,
              "readSubChunk() start\n"
              "Sub-Kennung: fmt \n"
              "Sub-Laenge:  16\n"
              "Format:      0001\n"
              "Kanaele:     01\n"
              "Sample-Freq: 44100\n"
              "Bytes Rate:  88200\n"
              "Block Align: 02\n"
              "Bits/Sample: 16\n");
    EXPECT_EQ(printed.err, "");
    EXPECT_EQ(lastFormat.bitsPerSample, 16);
}

TEST(ReadSubChunk, SignedFieldsAreWidenedWithTheirSign)
{
    Bytes file = buildWave({.format = 0xFFFE, .channels = 2});
    file[32] = 0xFF, file[33] = 0xFF;  // block align -1
    Printed printed;
    readFormatOf(file, &printed);
    EXPECT_NE(printed.out.find("Format:      fffffffe\nKanaele:     02\n"), std::string::npos) << printed.out;
    EXPECT_NE(printed.out.find("Block Align: 4294967295\n"), std::string::npos) << printed.out;
}

TEST(ReadSubChunk, EachUnreadableFieldHasItsOwnCode)
{
    const Bytes wave = buildWave({});
    // The file ends at `size` bytes; the format chunk starts at offset 12.
    struct Row {
        size_t size;
        int want;
        uint16_t bitsAfter;
    } rows[] = {
        {12, -1, 0},  {16, -3, 0}, {18, -4, 0}, {20, -4, 0}, {22, -5, 0}, {24, -6, 0},
        {26, -7, 0},  {28, -7, 0}, {30, -8, 0}, {32, -8, 0}, {34, 0, 0},
        {35, 23, 16},  // a field read that delivers 1 of 2 bytes counts as done
        {36, 24, 16},
    };
    for (const Row& row : rows) {
        Printed printed;
        EXPECT_EQ(readFormatOf(prefix(wave, row.size), &printed), row.want) << "size " << row.size;
        EXPECT_EQ(lastFormat.bitsPerSample, row.bitsAfter) << "size " << row.size;
        // The field lines come only after all eight reads succeeded.
        EXPECT_EQ(printed.out.find("Sub-Kennung"), row.want > 0 ? 21u : std::string::npos) << "size " << row.size;
        EXPECT_EQ(printed.err, "") << "size " << row.size;
    }
}

TEST(ReadSubChunk, BytesAShortReadDidNotDeliverAreZero)
{
    Bytes wave = buildWave({.sampleFreq = 0x11223344});
    Printed printed;
    EXPECT_EQ(readFormatOf(prefix(wave, 26), &printed), -7);  // sampleFreq got 2 of 4 bytes
    EXPECT_EQ(lastFormat.sampleFreq, 0x3344);
    EXPECT_EQ(lastFormat.subLength, 16u);
    EXPECT_EQ(lastFormat.bytesRate, 0u);  // not reached: keeps its old value

    wave[34] = 0x10, wave[35] = 0x20;
    EXPECT_EQ(readFormatOf(prefix(wave, 35), &printed), 23);
    EXPECT_EQ(lastFormat.bitsPerSample, 0x10);
}

TEST(ReadSubChunk, WrongIdIsReportedOnStandardError)
{
    struct Row {
        Bytes file;
        std::string err;
    } rows[] = {
        {buildWave({.subId = "LIST"}), "readSubChunk(): wrong sub ID: LIST\n"},
        {buildWave({.subId = "fmt"}), "readSubChunk(): wrong sub ID: fmt\n"},
        {prefix(buildWave({}), 14), "readSubChunk(): wrong sub ID: fm\n"},
        {buildWave({.subId = "f\x1b\x7f "}), "readSubChunk(): wrong sub ID: f\\x1b\\x7f \n"},
    };
    for (const Row& row : rows) {
        Printed printed;
        EXPECT_EQ(readFormatOf(row.file, &printed, false), -2);
        EXPECT_EQ(printed.err, row.err);
        EXPECT_EQ(printed.out, "");
    }
}
