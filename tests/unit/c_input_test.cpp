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

// Tone at 8000 Hz for a second; with `junk`, a large chunk before the data,
// which a seek skips (the default answer's reader takes the data first).
Bytes toneFile(double hz, bool junk = true)
{
    const Bytes data = encodeSlots(toneSlots({.periods = hz, .slots = 8000, .amplitude = 16384}));
    if (!junk)
        return riffFile({fmtPlain(1, 1, 8000, 16), {"data", data, {}}});
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

TEST(CInput, TheDefaultAnswerThroughCallbacksAsInMemory)
{
    const Bytes file = toneFile(660.0, false);
    tonalyx_settings* settings = tonalyx_settings_new();
    ASSERT_NE(settings, nullptr);
    tonalyx_settings_set_length(settings, 2048);
    tonalyx_report* whole = tonalyx_analyze_memory(file.data(), file.size(), "t.wav", settings);
    const std::string want = tonalyx_report_result_line(whole);
    EXPECT_EQ(tonalyx_report_length(whole), 2048u);
    tonalyx_report_free(whole);

    // Forward only, seeking, and a caller whose tonalyx_io ends before its
    // read member (an older, shorter struct): no read, so a read error.
    const struct {
        bool seeks;
        size_t structSize;
        int status;
    } rows[] = {
        {false, sizeof(tonalyx_io), TONALYX_OK},
        {true, sizeof(tonalyx_io), TONALYX_OK},
        {true, sizeof(size_t), TONALYX_READ_ERROR},
    };
    for (const auto& row : rows) {
        Served served{file, 333};
        const tonalyx_io io{row.structSize, readServed, row.seeks ? seekServed : nullptr, &served};
        tonalyx_report* report = tonalyx_analyze_io(&io, "t.wav", settings);
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(tonalyx_report_status(report), row.status) << row.structSize;
        EXPECT_EQ(tonalyx_report_result_line(report), row.status == TONALYX_OK ? want : "") << row.seeks;
        tonalyx_report_free(report);
    }
    Served served{file, 1 << 20};
    tonalyx_report* plain = tonalyx_analyze_callbacks(readServed, nullptr, &served, "t.wav", settings);
    EXPECT_EQ(tonalyx_report_result_line(plain), want);
    tonalyx_report_free(plain);
    tonalyx_settings_free(settings);
}

TEST(CInterface, NullHandlesReadAsNoReport)
{
    EXPECT_EQ(tonalyx_report_status(nullptr), TONALYX_NO_REPORT);
    EXPECT_EQ(tonalyx_measurement_status(nullptr), TONALYX_NO_REPORT);
    EXPECT_STREQ(tonalyx_status_name(TONALYX_NO_REPORT), "no-report");
    EXPECT_STREQ(tonalyx_report_result_line(nullptr), "");
    EXPECT_STREQ(tonalyx_report_verdict(nullptr, 0.1, 0), "error");
    EXPECT_STREQ(tonalyx_measurement_verdict(nullptr, 0.7, -1e308, 10, 0), "error");
    EXPECT_STREQ(tonalyx_measurement_line(nullptr), "");
    EXPECT_STREQ(tonalyx_report_message(nullptr, 0, nullptr), "");
    EXPECT_EQ(tonalyx_report_freq(nullptr), 0u);
    EXPECT_EQ(tonalyx_measurement_tone(nullptr), 0u);
    size_t count = 7;
    EXPECT_EQ(tonalyx_report_samples(nullptr, &count), nullptr);
    EXPECT_EQ(count, 0u);
    tonalyx_settings_set_length(nullptr, 5);  // ignored
    tonalyx_report_free(nullptr);
    tonalyx_settings_free(nullptr);
}

TEST(CInterface, StatusNamesCandidatesAndDefaults)
{
    const char* names[] = {"ok", "cannot-open", "read-error", "no-data", "no-report", ""};
    for (int status = 0; status < 6; ++status)
        EXPECT_STREQ(tonalyx_status_name(status), names[status]);
    EXPECT_STREQ(tonalyx_status_name(-1), "");
    ASSERT_EQ(tonalyx_candidate_count(), 46u);
    for (size_t i = 0; i <= 46; ++i)
        EXPECT_EQ(tonalyx_candidate_at(i), i < 46 ? 100 + 20 * i : 0) << i;
    EXPECT_EQ(tonalyx_default_length(), 1024u);
    EXPECT_EQ(tonalyx_default_min_result(), 0.1);
    EXPECT_EQ(tonalyx_version_number(), unsigned{TONALYX_VERSION_NUMBER});
}

TEST(CInterface, MessagesCarryTheirCodeAndFields)
{
    const Bytes file = toneFile(440.0, false);
    tonalyx_settings* settings = tonalyx_settings_new();
    tonalyx_settings_set_length(settings, 0);  // restricted to 4096
    tonalyx_report* report = tonalyx_analyze_memory(file.data(), file.size(), "t.wav", settings);
    ASSERT_EQ(tonalyx_report_message_count(report), 1u);
    EXPECT_EQ(tonalyx_report_message_code(report, 0), TONALYX_MSG_LENGTH_RESTRICTED);
    EXPECT_EQ(tonalyx_report_message_number(report, 0), 4096u);
    tonalyx_report_free(report);
    tonalyx_settings_free(settings);

    report = tonalyx_analyze_file("no\x1b.wav", nullptr);
    EXPECT_EQ(tonalyx_report_message_code(report, 0), TONALYX_MSG_NOT_FOUND);
    EXPECT_STREQ(tonalyx_report_message_detail(report, 0), "no\x1b.wav");  // raw: the caller escapes
    EXPECT_EQ(tonalyx_report_message_code(report, 1), 0);
    tonalyx_report_free(report);
}
