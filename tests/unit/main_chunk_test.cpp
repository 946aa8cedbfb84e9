#include <gtest/gtest.h>

#include "wave/wave_reader.h"
#include "wave_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

struct Row {
    const char* what;
    Bytes bytes;
    int want;
    std::string out;  // with the trace on
    std::string err;
};

}  // namespace

TEST(ReadMainChunk, ChecksTheRiffTagOnly)
{
    const Bytes wave = buildWave({.data = encodeSlots({1, 2})});
    Bytes rifx = wave, lower = wave, notWave = wave;
    rifx[3] = 'X';
    lower[0] = 'r', lower[1] = 'i', lower[2] = 'f', lower[3] = 'f';
    notWave[8] = 'A';
    const std::string goodTrace = "Kennung:     RIFF\nLaenge:      40\nlength main chunk: 12\n";
    const std::string wrongTag = "ERROR: wrong file tag (should be RIFF)\n";
    Row rows[] = {
        {"canonical", wave, 12, goodTrace, ""},
        {"form type not WAVE", notWave, 12, goodTrace, ""},
        {"RIFX", rifx, -2, "Kennung:     RIFX\nLaenge:      40\n", wrongTag},
        {"riff", lower, -2, "Kennung:     riff\nLaenge:      40\n", wrongTag},
        {"10 bytes", Bytes(wave.begin(), wave.begin() + 10), -1, "ERROR: cannot read header of main chunk\n", ""},
        {"empty", Bytes(), -1, "ERROR: cannot read header of main chunk\n", ""},
    };
    for (const Row& row : rows) {
        TestRun test(row.bytes);
        const int got = readMainChunk(test.run);
        const Printed printed = test.take();
        EXPECT_EQ(got, row.want) << row.what;
        EXPECT_EQ(printed.out, row.out) << row.what;
        EXPECT_EQ(printed.err, row.err) << row.what;
    }
}

TEST(ReadMainChunk, PrintsControlBytesOfTheTagEscaped)
{
    struct {
        const char* tag;  // four bytes
        const char* shown;
    } rows[] = {
        {"\x1b[2J", "\\x1b[2J"},
        {"R\x7f\x01" "F", "R\\x7f\\x01F"},
        {"ab\0c", "ab"},  // a 0 byte ends the tag
        {"\xc3\xbc\xff~", "\xc3\xbc\xff~"},  // other bytes as they are
    };
    for (const auto& row : rows) {
        Bytes wave = buildWave({});
        std::copy(row.tag, row.tag + 4, wave.begin());
        TestRun test(wave);
        readMainChunk(test.run);
        EXPECT_EQ(test.take().out, std::string("Kennung:     ") + row.shown + "\nLaenge:      36\n") << row.shown;
    }
}

TEST(ReadMainChunk, TracesTheRiffLengthSigned)
{
    Bytes wave = buildWave({});
    wave[4] = 0xFE, wave[5] = 0xFF, wave[6] = 0xFF, wave[7] = 0xFF;
    TestRun test(wave);
    readMainChunk(test.run);
    const Printed printed = test.take();
    EXPECT_NE(printed.out.find("Laenge:      -2\n"), std::string::npos) << printed.out;
}
