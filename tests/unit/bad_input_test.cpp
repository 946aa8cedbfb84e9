// One row per class of bad input: what the tool prints for it and the exit
// status it ends with, and nothing else.
#include <gtest/gtest.h>

#include <cmath>

#include "cli/run.h"
#include "wave_bytes.h"

namespace {

// The number of the time line varies from run to run.
std::string maskTime(const std::string& out)
{
    const size_t at = out.find("\ntime=");
    if (at == std::string::npos)
        return out;
    return out.substr(0, at + 6) + "*" + out.substr(out.find('\n', at + 1));
}

struct Row {
    const char* what;
    Bytes file;
    std::vector<const char*> options;
    std::string out;  // the time line masked as time=*
    std::string err;
    int status;
};

Bytes patched(Bytes bytes, size_t offset, const Bytes& with)
{
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<long>(offset));
    return bytes;
}

Bytes cut(const Bytes& bytes, size_t size)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size));
}

std::string repeated(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

const std::string kNoSamples = "ERROR: no sample data loaded\n";
const std::string kWrongId = "readDataChunk(): ERROR wrong data chunk ID\n";
const std::string kSilence = "\nbestResult=0.000000 best matching freq.=1000\ntime=*\n";

std::vector<Row> rows()
{
    const std::vector<int> zeros(300, 0);
    const Bytes silent = buildWave({.data = encodeSlots(zeros)});
    const Bytes tone = buildWave({.data = encodeSlots(toneSlots({.periods = 440, .slots = 44100}))});

    // An empty data chunk at 36, then empty data chunks each followed by four
    // 8-byte chunks of another kind: the total goes 8, 16, 14, 12, 10, 8, 16,
    // ... and never reaches the length.
    Bytes alternating = buildWave({});
    for (int cycle = 0; cycle < 1000; ++cycle) {
        const Bytes turn = {'d', 'a', 't', 'a', 0, 0, 0, 0};
        alternating.insert(alternating.end(), turn.begin(), turn.end());
        for (int junk = 0; junk < 4; ++junk)
            alternating.insert(alternating.end(), {'J', 'U', 'N', 'K', 1, 2, 3, 4});
    }
    Bytes wideSlots = buildWave({.bits = 65535, .dlength = 20000, .data = Bytes(700, 0)});

    return {
        {"empty file", {}, {}, "ERROR: cannot read header of main chunk\n" + kNoSamples, "", 253},
        {"bits per sample 0", patched(silent, 34, {0, 0}), {}, kNoSamples,
         "readDataChunk(): ERROR unsupported bits per sample 0\n", 253},
        {"bits per sample 7", patched(silent, 34, {7, 0}), {}, kNoSamples,
         "readDataChunk(): ERROR unsupported bits per sample 7\n", 253},
        // 8191 bytes per slot: one slot at the start of each 512-byte block.
        {"bits per sample 65535", wideSlots, {},
         "WARNING: length reduced to 2, the number of sample slots loaded!\n" + kSilence, "", 0},
        // Negative as a signed count: no data is read, the data bytes that
        // follow are taken as chunk headers: 8, 6, 4, 2, 0, then it wraps.
        {"data length near 2^32", patched(tone, 40, {0xf0, 0xff, 0xff, 0xff}), {}, kNoSamples,
         repeated(kWrongId, 5), 253},
        {"data length 2^31", patched(tone, 40, {0, 0, 0, 0x80}), {}, kNoSamples, repeated(kWrongId, 5), 253},
        // Over a billion slots declared: every reference is 0 past slot 0.
        {"data length 2^31 - 2", patched(tone, 40, {0xfe, 0xff, 0xff, 0x7f}), {}, kSilence, "", 0},
        {"more slots declared than the file holds", patched(silent, 40, {0x10, 0x27, 0, 0}), {},
         "WARNING: length reduced to 300, the number of sample slots loaded!\n" + kSilence, "", 0},
        {"odd data length", buildWave({.dlength = 5, .data = Bytes(5, 0)}), {},
         "WARNING: length reduced to 2, the number of sample slots loaded!\n" + kSilence, "", 0},
        {"cut inside the RIFF header", cut(tone, 11), {}, "ERROR: cannot read header of main chunk\n" + kNoSamples, "", 253},
        {"cut inside the format chunk", cut(tone, 27), {}, kNoSamples, "", 253},
        {"cut inside the data chunk header", cut(tone, 40), {}, kNoSamples, "", 253},
        {"cut after one data byte", cut(tone, 45), {},
         "WARNING: length reduced to 1, the number of sample slots loaded!\n" + kSilence, "", 0},
        {"RIFF tag wrong", patched(silent, 0, {'R', 'I', 'F', 'X'}), {},
         "WARNING: length reduced to 300, the number of sample slots loaded!\n" + kSilence,
         "ERROR: wrong file tag (should be RIFF)\n", 0},
        {"format chunk id wrong", patched(silent, 12, {'J', 'U', 'N', 'K'}), {}, kNoSamples,
         "readSubChunk(): wrong sub ID: JUNK\nreadDataChunk(): ERROR unsupported bits per sample 0\n", 253},
        // Cut after 2 x 1024 + 2 calls: the two data chunks at the start, 409
        // turns of four others and one data chunk, then three others.
        {"data chunks taking turns with others", alternating, {}, kNoSamples, repeated(kWrongId, 409 * 4 + 3), 253},
        {"the same with -length 1", alternating, {"-length", "1"}, kNoSamples, "", 253},
    };
}

}  // namespace

TEST(BadInput, EachClassGivesItsMessagesAndStatus)
{
    for (const Row& row : rows()) {
        TempWave file(row.file);
        std::vector<const char*> argv = {"tonalyx"};
        argv.insert(argv.end(), row.options.begin(), row.options.end());
        argv.push_back("-i");
        argv.push_back(file.path().c_str());
        int status = 0;
        const Printed printed = capture([&] { status = runTonalyx(static_cast<int>(argv.size()), argv.data()); });
        EXPECT_EQ(maskTime(printed.out), row.out) << row.what;
        EXPECT_EQ(printed.err, row.err) << row.what;
        EXPECT_EQ(status, row.status == 0 ? 0 : 65536 - (256 - row.status)) << row.what;
    }
}
