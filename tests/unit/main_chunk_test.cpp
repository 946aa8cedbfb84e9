#include <gtest/gtest.h>

#include "common/globals.h"
#include "wave/wave_reader.h"
#include "wave_bytes.h"

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
        resetRunState();
        gVerbose = 1;
        TempWave file(row.bytes);
        int got = 0;
        const Printed printed = capture([&] { got = readMainChunk(file.fd()); });
        EXPECT_EQ(got, row.want) << row.what;
        EXPECT_EQ(printed.out, row.out) << row.what;
        EXPECT_EQ(printed.err, row.err) << row.what;
    }
    resetRunState();
}

TEST(ReadMainChunk, TracesTheRiffLengthSigned)
{
    Bytes wave = buildWave({});
    wave[4] = 0xFE, wave[5] = 0xFF, wave[6] = 0xFF, wave[7] = 0xFF;
    resetRunState();
    gVerbose = 1;
    TempWave file(wave);
    const Printed printed = capture([&] { readMainChunk(file.fd()); });
    EXPECT_NE(printed.out.find("Laenge:      -2\n"), std::string::npos) << printed.out;
    resetRunState();
}
