#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "wave/wave_reader.h"
#include "wave_bytes.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

struct Loaded {
    int32_t pos;
    Printed printed;
    std::vector<double> slots;  // the held slots
    size_t calls;               // readDataChunk calls, counted by their trace
    uint32_t noSamples, heldSlots, loadedSlots, actLength;
};

size_t countOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Loads `file` as the run does after a good format chunk of `bits` bits.
Loaded load(const Bytes& file, uint16_t bits, uint32_t maxLength)
{
    TestRun test(file);
    test.run.waveFormat.bitsPerSample = bits;
    Loaded loaded{36, {}, {}, 0, 0, 0, 0, 0};
    readDataFrames(test.run, &loaded.pos, maxLength);
    loaded.printed = test.take();
    loaded.slots = test.run.samples;
    loaded.calls = countOf(loaded.printed.out, "readDataChunk() start");
    loaded.noSamples = test.run.noSamples;
    loaded.heldSlots = test.run.heldSlots;
    loaded.loadedSlots = test.run.loadedSlots;
    loaded.actLength = test.run.actLength;
    return loaded;
}

std::vector<int> ramp(int count, int from = 0)
{
    std::vector<int> values(static_cast<size_t>(count));
    std::iota(values.begin(), values.end(), from);
    return values;
}

std::vector<double> asDoubles(const std::vector<int>& values)
{
    return std::vector<double>(values.begin(), values.end());
}

class DataChunk : public testing::Test {};

// Bytes in memory that fail with an error once `failAt` bytes are read.
class FailingSource final : public tonalyx::ByteSource {
public:
    FailingSource(Bytes bytes, size_t failAt) : bytes_(std::move(bytes)), failAt_(failAt) {}
    long read(void* buffer, size_t count) override
    {
        if (at_ >= failAt_)
            return -1;
        const size_t given = std::min({count, failAt_ - at_, bytes_.size() - at_});
        std::copy_n(bytes_.begin() + static_cast<long>(at_), given, static_cast<unsigned char*>(buffer));
        at_ += given;
        return static_cast<long>(given);
    }
    bool seek(uint64_t offset) override
    {
        at_ = std::min<size_t>(offset, bytes_.size());
        return true;
    }
    std::string errorText() const override { return "Input/output error"; }

private:
    Bytes bytes_;
    size_t failAt_;
    size_t at_ = 0;
};

}  // namespace

TEST_F(DataChunk, StopsAfterMaxLengthSlots)
{
    struct Row {
        uint32_t maxLength;
        int32_t pos;
        const char* lastRead;
    } rows[] = {
        {1024, 36 + 2056, "readDataChunk() read=512 total=2056\nreadDataChunk() ret=2056\n"},
        {4096, 36 + 8200, "readDataChunk() read=512 total=8200\nreadDataChunk() ret=8200\n"},
        {1, 36 + 8 + 512, "readDataChunk() read=512 total=520\nreadDataChunk() ret=520\n"},
    };
    const std::vector<int> slots = ramp(44100, -20000);
    for (const Row& row : rows) {
        const Loaded loaded = load(buildWave({.data = encodeSlots(slots)}), 16, row.maxLength);
        EXPECT_EQ(loaded.pos, row.pos);
        EXPECT_EQ(loaded.calls, 1u);
        EXPECT_EQ(loaded.noSamples, 44100u);
        EXPECT_EQ(loaded.actLength, row.maxLength);
        EXPECT_EQ(loaded.loadedSlots, row.maxLength);
        EXPECT_EQ(loaded.slots, asDoubles(std::vector<int>(slots.begin(), slots.begin() + row.maxLength)));
        EXPECT_TRUE(loaded.printed.out.ends_with(row.lastRead)) << loaded.printed.out;
    }
}

TEST_F(DataChunk, CanonicalChunkTrace)
{
    const Loaded loaded = load(buildWave({.data = encodeSlots(ramp(300))}), 16, 1024);
    EXPECT_TRUE(loaded.printed.out.starts_with(
              "\nreadDataChunk() start maxLength=1024\n"
              "readDataChunk() frame count=1\n"
              "readDataChunk() id: data\n"
              "readDataChunk() length:  600\n"
              "readDataChunk() noSamples=300\n"
              "readDataChunk() pheader->dlength=600\n"
              "readDataChunk() read=512 total=520\n"
              "readDataChunk() read=88 total=608\n"))
        << loaded.printed.out;
    EXPECT_EQ(loaded.printed.err, "");
}

TEST_F(DataChunk, ShortChunkCallsOnUntilTheTotalWraps)
{
    // 8 + D bytes below maxLength give 8 + D + 2 calls; each at the end of
    // the file returns -1 and prints only its start line.
    struct Row {
        int slots;
        uint32_t maxLength;
    } rows[] = {{100, 1024}, {0, 16}, {3, 4096}};
    for (const Row& row : rows) {
        const int bytes = 2 * row.slots;
        const Loaded loaded = load(buildWave({.data = encodeSlots(ramp(row.slots, 1))}), 16, row.maxLength);
        EXPECT_EQ(loaded.calls, static_cast<size_t>(8 + bytes + 2)) << row.slots;
        EXPECT_EQ(loaded.pos, 36 + (8 + bytes) - (8 + bytes + 1)) << row.slots;
        EXPECT_EQ(loaded.loadedSlots, static_cast<uint32_t>(row.slots));
        EXPECT_EQ(countOf(loaded.printed.out, "frame count="), 1u);
    }
}

TEST_F(DataChunk, SlotRulesPerSampleWidth)
{
    // 8-bit: a slot's high byte is the next slot's byte; the last slot of a
    // block has no next byte in the block and gets 0.
    Bytes eight(600);
    for (size_t i = 0; i < eight.size(); ++i)
        eight[i] = static_cast<unsigned char>(i * 7 + 3);
    Loaded loaded = load(buildWave({.bits = 8, .data = eight}), 8, 4096);
    ASSERT_EQ(loaded.noSamples, 600u);
    EXPECT_EQ(loaded.slots[0], static_cast<int16_t>(eight[0] | eight[1] << 8));
    EXPECT_EQ(loaded.slots[510], static_cast<int16_t>(eight[510] | eight[511] << 8));
    EXPECT_EQ(loaded.slots[511], eight[511]);
    EXPECT_EQ(loaded.slots[512], static_cast<int16_t>(eight[512] | eight[513] << 8));
    EXPECT_EQ(loaded.slots[599], eight[599]);

    // 24-bit: the two lowest bytes; a full block gives 171 slots, and the next
    // block's first slot starts at the byte after the block.
    std::vector<int> samples = ramp(400, -200);
    for (int& s : samples)
        s *= 300;  // spreads into the third byte
    loaded = load(buildWave({.bits = 24, .data = encodeSlots(samples, 3)}), 24, 4096);
    EXPECT_EQ(loaded.noSamples, 400u);
    EXPECT_EQ(loaded.slots[0], static_cast<int16_t>(samples[0]));
    EXPECT_EQ(loaded.slots[170], static_cast<int16_t>(samples[170]));
    const Bytes data = encodeSlots(samples, 3);
    EXPECT_EQ(loaded.slots[171], static_cast<int16_t>(data[512] | data[513] << 8));
    // 1200 bytes: blocks of 512, 512, 176 give 171 + 171 + 59 = 401 slots;
    // the one past gNoSamples is not stored.
    EXPECT_EQ(loaded.actLength, 401u);
    EXPECT_EQ(loaded.loadedSlots, 400u);

    // 16-bit with an odd length: the last slot's missing high byte is 0.
    Bytes odd = encodeSlots({-2, 0x1234});
    odd.push_back(0xAB);
    loaded = load(buildWave({.data = odd}), 16, 4096);
    EXPECT_EQ(loaded.noSamples, 2u);
    EXPECT_EQ(loaded.slots, (std::vector<double>{-2, 0x1234}));
    EXPECT_EQ(loaded.actLength, 3u);
}

TEST_F(DataChunk, StereoSlotsAlternateBetweenChannels)
{
    const std::vector<int> interleaved = {100, -100, 200, -200, 300, -300};
    const Loaded loaded = load(buildWave({.channels = 2, .data = encodeSlots(interleaved)}), 16, 4);
    EXPECT_EQ(loaded.noSamples, 6u);
    EXPECT_EQ(loaded.slots, (std::vector<double>{100, -100, 200, -200}));
}

TEST_F(DataChunk, HeldSlotsAreBoundedByMaxLengthWhateverTheChunkDeclares)
{
    const std::vector<int> slots = ramp(2000, 5);
    const Loaded loaded =
        load(buildWave({.dlength = 2147483646u, .data = encodeSlots(slots)}), 16, 1024);
    EXPECT_EQ(loaded.noSamples, 1073741823u);
    EXPECT_EQ(loaded.heldSlots, 1024u);
    EXPECT_EQ(loaded.pos, 36 + 2056);
    EXPECT_EQ(loaded.slots[1023], 1028);
}

TEST_F(DataChunk, SlotsThatAreNotLoadedHoldZero)
{
    const Loaded loaded = load(buildWave({.dlength = 100, .data = encodeSlots({7, 8, 9})}), 16, 64);
    EXPECT_EQ(loaded.noSamples, 50u);
    ASSERT_EQ(loaded.slots.size(), 50u);
    EXPECT_EQ(loaded.loadedSlots, 3u);
    for (size_t i = 3; i < loaded.slots.size(); ++i)
        EXPECT_EQ(loaded.slots[i], 0.0) << i;
}

TEST_F(DataChunk, HeaderCutShortIsFilledWithZeros)
{
    // The file ends 6 bytes into the data chunk header: dlength 0x0000abcd... is
    // cut to its first two bytes.
    Bytes file = buildWave({.dlength = 0x12340010u});
    file.resize(42);
    const Loaded loaded = load(file, 16, 16);
    EXPECT_NE(loaded.printed.out.find("readDataChunk() length:  16\n"), std::string::npos) << loaded.printed.out;
    EXPECT_EQ(loaded.noSamples, 8u);
    EXPECT_EQ(loaded.loadedSlots, 0u);
}

TEST_F(DataChunk, LaterDataChunkStoresFromSlotZeroAgain)
{
    Bytes file = buildWave({.data = encodeSlots({1, 2, 3})});
    const Bytes second = {'d', 'a', 't', 'a', 4, 0, 0, 0, 9, 0, 8, 0};
    file.insert(file.end(), second.begin(), second.end());
    const Loaded loaded = load(file, 16, 64);
    EXPECT_EQ(loaded.noSamples, 3u);  // sized by the first chunk only
    EXPECT_EQ(loaded.slots, (std::vector<double>{9, 8, 3}));
    EXPECT_EQ(countOf(loaded.printed.out, "frame count="), 2u);
}

TEST_F(DataChunk, ReadErrorStopsTheLoading)
{
    // The input fails in the middle of the data: nothing after it is read,
    // and no later bytes are taken for chunk headers.
    const Bytes file = buildWave({.data = encodeSlots(ramp(3000))});
    struct Row {
        size_t failAt;
        uint32_t loadedSlots;
        size_t calls;
    } rows[] = {{36, 0, 1}, {40, 0, 1}, {44 + 600, 300, 1}, {44 + 1024, 512, 1}};
    for (const Row& row : rows) {
        FailingSource source(file, row.failAt);
        tonalyx::Report report;
        CaptureSink sink;
        RunOutput out(report, &sink, true, false);
        RunState run(source, out);
        run.waveFormat.bitsPerSample = 16;
        int32_t pos = 36;
        readDataFrames(run, &pos, 4096);
        EXPECT_TRUE(run.readFailed) << row.failAt;
        EXPECT_EQ(run.readError, "Input/output error");
        EXPECT_EQ(run.loadedSlots, row.loadedSlots) << row.failAt;
        EXPECT_EQ(countOf(sink.printed.out, "readDataChunk() start"), row.calls) << row.failAt;
        EXPECT_EQ(sink.printed.err, "") << row.failAt;
    }
}
