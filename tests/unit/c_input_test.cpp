// The C calls for clients that bring their own input and show names
// themselves: tonalyx_measure_callbacks and tonalyx_escape_controls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "recording_bytes.h"
#include "tonalyx/tonalyx.h"

namespace {

// A file in memory served through the callbacks, at most `piece` bytes a
// read, failing (-1) or overrunning the buffer once `misbehaveAt` is reached.
struct Served {
    const Bytes& bytes;
    size_t piece;
    size_t misbehaveAt = SIZE_MAX;
    long misbehaviour = -1;  // -1: an error; else bytes claimed past count
    size_t at = 0;
};

long readServed(void* user, void* buffer, size_t count)
{
    auto& served = *static_cast<Served*>(user);
    if (served.at >= served.misbehaveAt)
        return served.misbehaviour < 0 ? -1 : static_cast<long>(count) + served.misbehaviour;
    const size_t given = std::min({count, served.piece, served.bytes.size() - served.at});
    std::memcpy(buffer, served.bytes.data() + served.at, given);
    served.at += given;
    return static_cast<long>(given);
}

int seekServed(void* user, uint64_t offset)
{
    auto& served = *static_cast<Served*>(user);
    served.at = std::min<uint64_t>(offset, served.bytes.size());
    return 1;
}

Bytes toneFile(double hz)
{
    const Bytes data = encodeSlots(toneSlots({.periods = hz, .slots = 8000, .amplitude = 16384}));
    // A large chunk before the data, which a seek skips.
    return riffFile({fmtPlain(1, 1, 8000, 16), {"junk", Bytes(100000), {}}, {"data", data, {}}});
}

}  // namespace

TEST(CInput, CallbacksGiveWhatTheBytesInMemoryGive)
{
    const Bytes file = toneFile(660.0);
    tonalyx_measurement* whole = tonalyx_measure_memory(file.data(), file.size(), "t.wav");
    const std::string want = tonalyx_measurement_line(whole);
    EXPECT_EQ(tonalyx_measurement_tone(whole), 660u);
    tonalyx_measurement_free(whole);

    const struct {
        size_t piece;
        bool seeks;
        size_t misbehaveAt;
        long misbehaviour;
        int status;
    } rows[] = {
        {7, true, SIZE_MAX, -1, TONALYX_OK},
        {1 << 20, false, SIZE_MAX, -1, TONALYX_OK},
        {4096, true, 110000, -1, TONALYX_READ_ERROR},
        {4096, false, 110000, 1, TONALYX_READ_ERROR},  // claims one byte more than asked
    };
    for (const auto& row : rows) {
        Served served{file, row.piece, row.misbehaveAt, row.misbehaviour};
        tonalyx_measurement* m = tonalyx_measure_callbacks(readServed, row.seeks ? seekServed : nullptr, &served,
                                                           "t.wav", TONALYX_MEASURE_PICTURES);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(tonalyx_measurement_status(m), row.status) << row.piece;
        if (row.status == TONALYX_OK) {
            EXPECT_EQ(tonalyx_measurement_line(m), want) << row.piece;
        }
        tonalyx_measurement_free(m);
    }
}

TEST(CInput, EscapeControlsAsTheToolsDo)
{
    const struct {
        std::string raw, shown;
    } rows[] = {
        {"plain.wav", "plain.wav"},
        {"a\x1b[2J\n", "a\\x1b[2J\\x0a"},
        {"next\xc2\x85line", "next\\xc2\\x85line"},  // U+0085, a C1 control
        {"\xc3\xbc" "ber.wav", "\xc3\xbc" "ber.wav"},
        {std::string("nul\0byte", 8), std::string("nul\0byte", 8)},  // the size counts, not a NUL
    };
    for (const auto& row : rows) {
        const size_t needed = tonalyx_escape_controls(row.raw.data(), row.raw.size(), nullptr, 0);
        EXPECT_EQ(needed, row.shown.size()) << row.raw;
        std::string out(needed + 1, 'x');
        EXPECT_EQ(tonalyx_escape_controls(row.raw.data(), row.raw.size(), out.data(), out.size()), needed);
        EXPECT_EQ(out, row.shown + '\0') << row.raw;
    }
    char small[4] = "xyz";
    EXPECT_EQ(tonalyx_escape_controls("\x1b" "ab", 3, small, sizeof small), 6u);
    EXPECT_STREQ(small, "\\x1");  // cut to fit, still ended
}
