// measure(), measureFile() and measurementLine(): what a caller gets for
// good files, files that cannot be read, and how the line is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "recording_bytes.h"
#include "tonalyx/tonalyx.h"
#include "api/api.h"

using namespace tonalyx;

namespace {

// 16-bit mono PCM: `seconds` of a sine of `hz` at half of full scale.
Bytes toneFile(std::uint32_t rate, double hz, double seconds)
{
    const auto frames = static_cast<long>(seconds * rate);
    const Bytes data = encodeSlots(toneSlots({.periods = hz * seconds, .slots = frames, .amplitude = 16384}));
    return riffFile({fmtPlain(1, 1, rate, 16), {"data", data, {}}});
}

}  // namespace

TEST(MeasureApi, AToneFromMemory)
{
    const Bytes file = toneFile(8000, 660.0, 1.0);
    MemorySource source(file.data(), file.size());
    const Measurement m = measure(source, "tone.wav");
    EXPECT_EQ(m.status, Status::ok);
    EXPECT_TRUE(m.hasTone);
    EXPECT_EQ(m.tone, 660u);
    EXPECT_NEAR(m.measured, 660.0, 0.01);
    EXPECT_NEAR(m.level, -6.02, 0.05);  // 16384 of 32768
    EXPECT_TRUE(m.messages.empty());
}

TEST(MeasureApi, FailuresGiveTheReadersReasonWithTheNameEscaped)
{
    const Bytes mpeg = riffFile({fmtPlain(0x55, 1, 8000, 16), {"data", Bytes(100), {}}});
    const Bytes empty = riffFile({fmtPlain(1, 1, 8000, 16), {"data", {}, {}}});
    const Bytes tone = toneFile(8000, 440.0, 0.5);
    const struct {
        std::string name;
        const Bytes& bytes;
        std::size_t failAt;
        Status status;
        std::string message;
        bool seekable = false;
        bool shrinks = false;  // else fails
    } cases[] = {
        {"mpeg.wav", mpeg, SIZE_MAX, Status::noData, "ERROR: cannot measure mpeg.wav: unsupported format tag 0x0055\n"},
        {"a\nb\x1b.wav", mpeg, SIZE_MAX, Status::noData,
         "ERROR: cannot measure a\\x0ab\\x1b.wav: unsupported format tag 0x0055\n"},
        {"gone.wav", tone, 2000, Status::readError, "ERROR: cannot measure gone.wav: device gone\n"},
        // Read whole once, then gone, or cut in half, when a stretch is read again.
        {"gone later.wav", tone, tone.size(), Status::readError, "ERROR: cannot measure gone later.wav: device gone\n",
         true},
        {"cut later.wav", tone, tone.size(), Status::readError,
         "ERROR: cannot measure cut later.wav: the input changed while it was measured\n", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestSource source(c.bytes, 512, c.seekable ? SIZE_MAX : c.failAt, c.seekable);
        if (c.seekable)
            (c.shrinks ? source.shrinkAfter : source.failAfter) = c.failAt;
        const Measurement m = measure(source, c.name);
        EXPECT_EQ(m.status, c.status);
        EXPECT_FALSE(m.hasTone);
        ASSERT_EQ(m.messages.size(), 1u);
        EXPECT_EQ(consoleStream(m.messages[0].code), Stream::err);
        EXPECT_EQ(m.messages[0].text, c.message);
    }
    MemorySource source(empty.data(), empty.size());
    EXPECT_EQ(measure(source, "empty.wav").status, Status::noData);
}

// A file that can seek is read again where the measurement looks closely;
// a pipe is held whole. Both give the same figures, to the last bit.
TEST(MeasureApi, AFileMeasuresAsAPipeDoes)
{
    const auto file = [](std::uint32_t channels, std::uint32_t rate, const std::vector<std::vector<long>>& slots) {
        std::vector<long> interleaved;
        for (std::size_t n = 0; n < slots[0].size(); ++n)
            for (std::uint32_t c = 0; c < channels; ++c)
                interleaved.push_back(slots[c % slots.size()][n]);
        return riffFile({fmtPlain(1, static_cast<std::uint16_t>(channels), rate, 16), {"data", encodeSlots(interleaved), {}}});
    };
    const Tone beeps{.periods = 440 * 1.5, .slots = 66150, .amplitude = 9000, .gateOn = 4410, .gateOff = 2205};
    // Found only on a second look without the hum, at the channel's own rate.
    Tone hum{.slots = 62400, .constant = 0};
    std::vector<long> humSlots;
    for (long n = 0; n < hum.slots; ++n) {
        const auto sine = [t = n / 48000.0](double hz, double phase) { return std::sin(2 * M_PI * hz * t + phase); };
        humSlots.push_back(std::lrint(32767 * (0.05 * sine(222.5, 0) + 0.15 * sine(49.98, 0) + 0.15 * sine(199.92, 1) +
                                               0.1 * sine(249.9, 2))));
    }
    const struct {
        std::string name;
        Bytes bytes;
        std::size_t piece;
    } rows[] = {
        {"mono at 8 kHz", toneFile(8000, 660.0, 1.0), SIZE_MAX},
        {"beeps at 44.1 kHz, in odd pieces", file(1, 44100, {toneSlots(beeps)}), 333},
        {"the same in both channels", file(2, 44100, {toneSlots(beeps)}), 4096},
        {"a tone beside a hum harmonic, 3 channels", file(3, 48000, {toneSlots(hum), humSlots}), 1000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestSource pipe(row.bytes, row.piece), seekable(row.bytes, row.piece, SIZE_MAX, true);
        const MeasureOptions options{.pictures = true, .segments = true};
        const Measurement held = measure(pipe, "x.wav", options), reread = measure(seekable, "x.wav", options);
        EXPECT_EQ(reread.status, Status::ok);
        EXPECT_GT(seekable.seeks, 1);
        EXPECT_EQ(measurementLine(reread), measurementLine(held));
        ASSERT_EQ(reread.segments.size(), held.segments.size());
        for (std::size_t i = 0; i < held.segments.size(); ++i)
            EXPECT_EQ(reread.segments[i].level, held.segments[i].level) << i;
        EXPECT_EQ(reread.pictures.envelopeDb, held.pictures.envelopeDb);
        EXPECT_EQ(reread.pictures.spectrumDb, held.pictures.spectrumDb);
    }
}

// The system's own reason, on standard error, the name escaped.
TEST(MeasureApi, AFileThatCannotBeOpenedSaysWhy)
{
    const std::pair<std::string, std::string> rows[] = {
        {"/nonexistent-folder/n\x01.wav", "ERROR: cannot open /nonexistent-folder/n\\x01.wav: No such file or directory\n"},
        {TONALYX_SOURCE_DIR, "ERROR: cannot open " TONALYX_SOURCE_DIR ": Is a directory\n"},
    };
    for (const auto& [path, text] : rows) {
        const Measurement m = measureFile(path);
        EXPECT_EQ(m.status, Status::cannotOpen);
        ASSERT_EQ(m.messages.size(), 1u);
        EXPECT_EQ(consoleStream(m.messages[0].code), Stream::err);
        EXPECT_EQ(m.messages[0].text, text);
    }
}

TEST(MeasureApi, ARecordingOverAMinuteIsMeasuredOverItsFirstMinute)
{
    const Bytes file = toneFile(1000, 100.0, 61.0);  // 61 s at 1000 frames a second
    MemorySource source(file.data(), file.size());
    const Measurement m = measure(source, "long.wav");
    EXPECT_EQ(m.status, Status::ok);
    EXPECT_EQ(m.tone, 100u);
    EXPECT_NEAR(m.end, 60.0, 0.006);
    ASSERT_EQ(m.messages.size(), 1u);
    EXPECT_EQ(consoleStream(m.messages[0].code), Stream::err);
    EXPECT_EQ(m.messages[0].text, "NOTE: long.wav is longer than 60 s; measured over its first 60 s\n");
    EXPECT_EQ(m.cut, 60.0);
}

// 8 channels at 768 kHz without end fill the samples' room after 6291456
// frames: 8.192 s, which the line gives as cut=.
TEST(MeasureApi, ARecordingPastTheMemoryBoundIsMeasuredOverWhatFits)
{
    const Bytes header = riffFile({fmtPlain(1, 8, 768000, 8), {"data", {}, 0}});
    TestSource endless(header);
    endless.endlessFill = 0x80;
    const Measurement m = measure(endless, "endless.wav");
    EXPECT_EQ(m.status, Status::ok);
    EXPECT_EQ(m.cut, 8.192);
    const std::string line = measurementLine(m);
    EXPECT_EQ(line.substr(line.size() - 10), " cut=8.192") << line;
    ASSERT_EQ(m.messages.size(), 1u);
    EXPECT_EQ(m.messages[0].text, "NOTE: endless.wav holds more samples than 192 MiB take; measured over its first 8.192 s\n");
}

TEST(MeasureApi, MeasurementLines)
{
    const auto make = [](bool hasTone, std::uint32_t tone, double measured, double purity, double level,
                         double start, double end, std::uint32_t channel) {
        Measurement m;
        m.hasTone = hasTone;
        m.tone = tone;
        m.measured = measured;
        m.purity = purity;
        m.level = level;
        m.start = start;
        m.end = end;
        m.channel = channel;
        m.bursts = hasTone ? 1 : 0;
        m.reason = hasTone ? tonalyx::NoToneReason::none : tonalyx::NoToneReason::offBand;
        return m;
    };
    Measurement beeps = make(true, 440, 440.0, 0.99, -10.25, 0.1, 1.9, 1);
    beeps.thd = 12.345;
    beeps.snr = 41.25;
    beeps.drift = 0.005;
    beeps.bursts = 10;
    Measurement cut = make(false, 0, 50.0, 0.0, -12.0, 0.0, 60.0, 1);
    cut.reason = tonalyx::NoToneReason::hum;
    cut.cut = 60.0;
    const struct {
        Measurement m;
        std::string line;
    } cases[] = {
        {make(true, 440, 440.02, 0.998, -6.0, 0.1, 1.1, 1),
         "tone=440 measured=440.02 purity=0.998 level=-6.0 start=0.100 end=1.100 channel=1 thd=0.00 snr=0.0 "
         "drift=0.00 bursts=1"},
        {make(false, 0, 1500.0, 1.0, -200.0, 0.0, 60.0, 2),
         "tone=none measured=1500.00 purity=1.000 level=-200.0 start=0.000 end=60.000 channel=2 thd=0.00 snr=0.0 "
         "drift=0.00 bursts=0 reason=off-band"},
        // Rounded as printf rounds the exact binary value (99.995 lies just
        // above, 1.2345 just below, 3.25 is a tie and goes to even); a level
        // just below 0 is 0.0, never -0.0.
        {make(true, 100, 99.995, 0.12345, -0.04, 0.0004, 0.0125, 8),
         "tone=100 measured=100.00 purity=0.123 level=0.0 start=0.000 end=0.013 channel=8 thd=0.00 snr=0.0 "
         "drift=0.00 bursts=1"},
        {make(false, 0, 0.0, 0.0, 3.25, 1.2345, 2.0, 0),
         "tone=none measured=0.00 purity=0.000 level=3.2 start=1.234 end=2.000 channel=0 thd=0.00 snr=0.0 "
         "drift=0.00 bursts=0 reason=off-band"},
        // 12.345 and 0.005 lie just above their halves, 41.25 is a tie.
        {beeps, "tone=440 measured=440.00 purity=0.990 level=-10.2 start=0.100 end=1.900 channel=1 thd=12.35 "
                "snr=41.2 drift=0.01 bursts=10"},
        {cut, "tone=none measured=50.00 purity=0.000 level=-12.0 start=0.000 end=60.000 channel=1 thd=0.00 "
              "snr=0.0 drift=0.00 bursts=0 reason=hum cut=60.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(measurementLine(c.m), c.line);
    tonalyx::Segment segment{0.5, 2.5, true, 440, 440.004, 0.9995, -6.02};
    EXPECT_EQ(segmentLine(segment), "segment start=0.500 end=2.500 tone=440 measured=440.00 purity=1.000 level=-6.0");
}

TEST(MeasureApi, LineNumbersRoundAsPrintfDoes)
{
    // printf of the C library here (correctly rounded) as the model, on
    // values near every kind of rounding point.
    std::mt19937_64 random(23);
    std::uniform_int_distribution<int> units(-200000, 200000);
    std::uniform_int_distribution<int> nudge(-2, 2);
    for (int i = 0; i < 100000; ++i) {
        // k / 2000 + a few ulps: ties and near-ties at 3, 2 and 1 decimals.
        double value = units(random) / 2000.0;
        for (int n = nudge(random); n != 0; n += n > 0 ? -1 : 1)
            value = std::nextafter(value, n > 0 ? 1e9 : -1e9);
        Measurement m;
        m.purity = value;
        m.level = value;
        m.start = value;
        const std::string line = measurementLine(m);
        char want[64];
        std::snprintf(want, sizeof want, "%.3f", value);
        std::string expected = want;
        if (expected == "-0.000")
            expected = "0.000";
        ASSERT_NE(line.find(" purity=" + expected + " "), std::string::npos) << line << " " << value;
        std::snprintf(want, sizeof want, "%.1f", value);
        expected = want;
        if (expected == "-0.0")
            expected = "0.0";
        ASSERT_NE(line.find(" level=" + expected + " "), std::string::npos) << line << " " << value;
    }
}

namespace {

// What the callbacks of tonalyx_measure_callbacks read: a file in memory,
// in slices of at most 7 bytes, or failing after `failAt` bytes.
struct Slices {
    const Bytes* bytes;
    size_t failAt = SIZE_MAX;
    size_t at = 0;
    size_t delivered = 0;
};

long readSlice(void* user, void* buffer, size_t count)
{
    auto& in = *static_cast<Slices*>(user);
    if (in.at >= in.failAt)
        return -1;
    const size_t n = in.at >= in.bytes->size() ? 0 : std::min({count, size_t{7}, in.bytes->size() - in.at});
    std::copy_n(in.bytes->begin() + static_cast<long>(in.at), n, static_cast<unsigned char*>(buffer));
    in.at += n;
    in.delivered += n;
    return static_cast<long>(n);
}

int seekSlice(void* user, uint64_t offset)
{
    static_cast<Slices*>(user)->at = static_cast<size_t>(offset);
    return 1;
}

}  // namespace

// The same measurement as from memory, with and without seek (the page's
// slices, a stream); a 1 MiB chunk before the data is sought past; a
// failing read or none at all is a read error.
TEST(MeasureApi, ThroughCallbacks)
{
    const Bytes tone = toneFile(8000, 440.0, 0.5);
    const Bytes file = concat({riffFile({{"JUNK", Bytes(1 << 20, 0), {}}}),
                               Bytes(tone.begin() + 12, tone.end())});  // JUNK, then fmt and data
    Bytes patched = file;
    const Bytes size = le(file.size() - 8, 4);
    std::copy(size.begin(), size.end(), patched.begin() + 4);
    tonalyx_measurement* reference = tonalyx_measure_memory(patched.data(), patched.size(), "t.wav");
    const std::string line = tonalyx_measurement_line(reference);
    tonalyx_measurement_free(reference);
    EXPECT_EQ(line.rfind("tone=440 ", 0), 0u) << line;

    struct Row {
        const char* what;
        bool read, seek;
        size_t failAt;
        int status;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"file", true, true, SIZE_MAX, TONALYX_OK, ""},
        {"stream", true, false, SIZE_MAX, TONALYX_OK, ""},
        {"failing", true, true, 5000, TONALYX_READ_ERROR, "ERROR: cannot measure t.wav: the read callback failed\n"},
        {"no read", false, true, SIZE_MAX, TONALYX_READ_ERROR, "ERROR: cannot measure t.wav: no read callback\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Slices slices{&patched, row.failAt};
        tonalyx_measurement* m = tonalyx_measure_callbacks(row.read ? readSlice : nullptr,
                                                           row.seek ? seekSlice : nullptr, &slices, "t.wav", 0);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(tonalyx_measurement_status(m), row.status);
        if (row.status == TONALYX_OK) {
            EXPECT_EQ(tonalyx_measurement_line(m), line);
            EXPECT_EQ(slices.delivered < 64u * 1024, row.seek) << slices.delivered;
        } else {
            EXPECT_STREQ(tonalyx_measurement_message(m, 0, nullptr), row.message.c_str());
        }
        tonalyx_measurement_free(m);
    }
}
