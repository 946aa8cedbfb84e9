// The library's run as its clients see it: reports, read failures, threads,
// the C interface, verdicts and escapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "batch_cli/table_escapes.h"
#include "common/exit_status.h"
#include "tonalyx/tonalyx.h"
#include "api/api.h"
#include "wave_bytes.h"

namespace {

Bytes toneFile(double periods, int slots = 44100)
{
    return buildWave({.data = encodeSlots(toneSlots({.periods = periods, .slots = slots}))});
}

// Fails with an error once `failAt` bytes have been delivered.
class FailingSource final : public tonalyx::ByteSource {
public:
    FailingSource(const Bytes& bytes, size_t failAt) : memory_(bytes.data(), std::min(failAt, bytes.size())) {}
    long read(void* buffer, size_t count) override
    {
        const long n = memory_.read(buffer, count);
        return n > 0 ? n : -1;
    }
    bool seek(uint64_t offset) override { return memory_.seek(offset); }
    std::string errorText() const override { return "Input/output error"; }

private:
    tonalyx::MemorySource memory_;
};

tonalyx::Report analyzeBytes(const Bytes& bytes, tonalyx::Settings settings = {})
{
    tonalyx::MemorySource source(bytes.data(), bytes.size());
    return tonalyx::analyze(source, "mem.wav", settings);
}

}  // namespace

TEST(Analyze, WorkedToneGivesItsResultAndEveryCandidate)
{
    const tonalyx::Report report = analyzeBytes(toneFile(440));
    EXPECT_EQ(report.status, tonalyx::Status::ok);
    EXPECT_EQ(tonalyx::resultLine(report), "bestResult=0.497611 best matching freq.=440");
    ASSERT_EQ(report.candidates.size(), 46u);
    // The best is the largest result, the later one of equals.
    const auto best = std::max_element(report.candidates.begin(), report.candidates.end(),
                                       [](const auto& a, const auto& b) { return a.result <= b.result; });
    EXPECT_EQ(best->freq, report.bestFreq);
    EXPECT_EQ(best->result, report.bestResult);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(report.trace.empty());
}

TEST(Analyze, ReadFailureEndsTheRunWithStatus251)
{
    const Bytes file = toneFile(440);
    // Inside the RIFF header, the format chunk, a chunk header, the data.
    for (const size_t failAt : {0u, 5u, 20u, 40u, 44u + 700u}) {
        FailingSource source(file, failAt);
        tonalyx::Settings settings;
        settings.keepTrace = true;
        const tonalyx::Report report = tonalyx::analyze(source, "a\nb.wav", settings);
        EXPECT_EQ(report.status, tonalyx::Status::readError) << failAt;
        EXPECT_EQ(tonalyx::console::exitStatusOf(static_cast<int>(report.status)), 65531);
        EXPECT_FALSE(report.hasResult) << failAt;
        ASSERT_FALSE(report.messages.empty()) << failAt;
        EXPECT_EQ(tonalyx::consoleStream(report.messages.back().code), tonalyx::Stream::err);
        EXPECT_EQ(report.messages.back().text, "ERROR: cannot read a\\x0ab.wav: Input/output error\n");
        EXPECT_TRUE(report.trace.ends_with("return code=65531\n")) << report.trace;
        EXPECT_EQ(report.trace.find("bestResult"), std::string::npos) << failAt;
    }
}

TEST(Analyze, MissingFileAndLengthWarningComeInTheirOrder)
{
    tonalyx::Settings settings;
    settings.length = 0;
    const tonalyx::Report report = tonalyx::analyzeFile("/nonexistent/\x1b[2J.wav", settings);
    EXPECT_EQ(report.status, tonalyx::Status::cannotOpen);
    ASSERT_EQ(report.messages.size(), 2u);
    EXPECT_EQ(report.messages[0].text, "WARNING: length restricte to 4096!\n");
    EXPECT_EQ(report.messages[1].text, "ERROR: Inp.wave file not found: /nonexistent/\\x1b[2J.wav\n");
    EXPECT_EQ(tonalyx::consoleStream(report.messages[1].code), tonalyx::Stream::out);
}

TEST(Analyze, RunsOnThreadsGiveTheSameReportsAsOneAfterAnother)
{
    const std::vector<Bytes> files = {toneFile(440), toneFile(250), toneFile(700, 8000), buildWave({})};
    std::vector<tonalyx::Report> alone;
    tonalyx::Settings settings;
    settings.keepTrace = true;
    settings.keepSamples = true;
    for (const Bytes& file : files)
        alone.push_back(analyzeBytes(file, settings));

    std::vector<std::thread> threads;
    std::vector<int> mismatches(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                const size_t which = static_cast<size_t>(t + round) % files.size();
                const tonalyx::Report report = analyzeBytes(files[which], settings);
                // The time line may differ; everything before it may not.
                const auto upToTime = [](const std::string& text) { return text.substr(0, text.find("time=")); };
                mismatches[static_cast<size_t>(t)] += upToTime(report.trace) != upToTime(alone[which].trace) ||
                                                      report.samples != alone[which].samples ||
                                                      report.bestResult != alone[which].bestResult;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(std::count(mismatches.begin(), mismatches.end(), 0), 8);
}

TEST(Analyze, TheCInterfaceGivesTheSameAnswer)
{
    const Bytes file = toneFile(250);
    tonalyx_settings* settings = tonalyx_settings_new();
    tonalyx_settings_set_length(settings, 4096);
    tonalyx_settings_set_keep_samples(settings, 1);
    tonalyx_report* report = tonalyx_analyze_memory(file.data(), file.size(), "t.wav", settings);
    tonalyx_settings_free(settings);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(tonalyx_report_status(report), TONALYX_OK);
    EXPECT_STREQ(tonalyx_report_result_line(report), "bestResult=0.008566 best matching freq.=360");
    EXPECT_EQ(tonalyx_report_candidate_count(report), 46u);
    size_t count = 0;
    tonalyx_report_samples(report, &count);
    EXPECT_EQ(count, 4096u);
    // 0.008566 is weak by default, ok above a lower bar, wrong against 440.
    EXPECT_STREQ(tonalyx_report_verdict(report, 0.1, 0), "weak");
    EXPECT_STREQ(tonalyx_report_verdict(report, 0.001, 360), "ok");
    EXPECT_STREQ(tonalyx_report_verdict(report, 0.001, 440), "wrong");
    tonalyx_report_free(report);

    tonalyx_measurement* measurement = tonalyx_measure_memory(file.data(), file.size(), "t.wav");
    ASSERT_NE(measurement, nullptr);
    EXPECT_EQ(tonalyx_measurement_status(measurement), TONALYX_OK);
    EXPECT_EQ(tonalyx_measurement_tone(measurement), 260u);  // 250 Hz: of 240 and 260, the higher
    EXPECT_EQ(std::string(tonalyx_measurement_line(measurement)).rfind("tone=260 measured=250.00 ", 0), 0u)
        << tonalyx_measurement_line(measurement);
    EXPECT_STREQ(tonalyx_measurement_message(measurement, 0, nullptr), "");
    tonalyx_measurement_free(measurement);
    const Bytes broken(file.begin(), file.begin() + 30);
    measurement = tonalyx_measure_memory(broken.data(), broken.size(), "b\x1b.wav");
    EXPECT_EQ(tonalyx_measurement_status(measurement), TONALYX_NO_DATA);
    EXPECT_EQ(tonalyx_measurement_tone(measurement), 0u);
    int measureStream = -1;
    EXPECT_EQ(std::string(tonalyx_measurement_message(measurement, 0, &measureStream)).rfind("ERROR: cannot measure b\\x1b.wav: ", 0), 0u);
    EXPECT_EQ(measureStream, TONALYX_STDERR);
    tonalyx_measurement_free(measurement);

    report = tonalyx_analyze_file("/nonexistent.wav", nullptr);
    EXPECT_EQ(tonalyx_report_status(report), TONALYX_CANNOT_OPEN);
    int stream = -1;
    EXPECT_STREQ(tonalyx_report_message(report, 0, &stream), "ERROR: Inp.wave file not found: /nonexistent.wav\n");
    EXPECT_EQ(stream, TONALYX_STDOUT);
    EXPECT_STREQ(tonalyx_report_message(report, 1, &stream), "");
    tonalyx_report_free(report);
}

TEST(Verdicts, JudgeWhatTheResultLineShows)
{
    struct Row {
        tonalyx::Status status;
        bool hasResult;
        uint32_t freq;
        double result;
        tonalyx::VerdictRules rules;
        const char* want;
    } rows[] = {
        {tonalyx::Status::noData, false, 0, 0.0, {}, "error"},
        {tonalyx::Status::ok, true, 440, 0.497611, {}, "ok"},
        {tonalyx::Status::ok, true, 440, 0.497611, {.expect = 440}, "ok"},
        {tonalyx::Status::ok, true, 240, 0.343473, {.expect = 440}, "wrong"},
        {tonalyx::Status::ok, true, 1000, 0.0, {.expect = 1000}, "weak"},
        // 0.0999996 prints as 0.100000, which is not below 0.1.
        {tonalyx::Status::ok, true, 440, 0.0999996, {}, "ok"},
        {tonalyx::Status::ok, true, 440, 0.0999994, {}, "weak"},
        {tonalyx::Status::ok, true, 440, 0.001, {.minResult = 1e-3}, "ok"},
        {tonalyx::Status::ok, true, 440, 0.3, {.minResult = -1}, "ok"},
    };
    for (const Row& row : rows) {
        tonalyx::Report report;
        report.status = row.status;
        report.hasResult = row.hasResult;
        report.bestFreq = row.freq;
        report.bestResult = row.result;
        EXPECT_STREQ(tonalyx::verdictName(tonalyx::verdictOf(report, row.rules)), row.want) << row.result;
    }
}

TEST(Escapes, EachKindOfTextAsItsReaderNeedsIt)
{
    struct Row {
        std::string raw, controls, tsv, json, csv;
    } rows[] = {
        {"plain name.wav", "plain name.wav", "plain name.wav", "plain name.wav", "plain name.wav"},
        // CSV keeps tab and line ends in quotes, and a backslash as it is.
        {"a\tb\nc\rd\\e", "a\\x09b\\x0ac\\x0dd\\e", "a\\tb\\nc\\rd\\\\e", "a\\tb\\nc\\rd\\\\e",
         "\"a\tb\nc\rd\\e\""},
        {"\x1b[31m\x7f", "\\x1b[31m\\x7f", "\\x1b[31m\\x7f", "\\u001b[31m\\u007f", "\\x1b[31m\\x7f"},
        {"\"quoted\"", "\"quoted\"", "\"quoted\"", "\\\"quoted\\\"", "\"\"\"quoted\"\"\""},
        {"x,y.wav", "x,y.wav", "x,y.wav", "x,y.wav", "\"x,y.wav\""},
        {"\xc3\xbc" "bung", "\xc3\xbc" "bung", "\xc3\xbc" "bung", "\xc3\xbc" "bung", "\xc3\xbc" "bung"},
        // Not UTF-8: a lone continuation byte, a cut sequence, an overlong
        // form and an encoded surrogate (lone bytes 0x80-0x9F are C1
        // controls to a terminal that reads Latin-1).
        {"\x80" "x\xc3", "\\x80" "x\xc3", "\\x80" "x\xc3", "\\udc80x\\udcc3", "\\x80" "x\xc3"},
        {"\xc0\xaf\xed\xa0\x80", "\xc0\xaf\xed\xa0\\x80", "\xc0\xaf\xed\xa0\\x80",
         "\\udcc0\\udcaf\\udced\\udca0\\udc80", "\xc0\xaf\xed\xa0\\x80"},
        {"\xf0\x9f\x8e\xb5", "\xf0\x9f\x8e\xb5", "\xf0\x9f\x8e\xb5", "\xf0\x9f\x8e\xb5", "\xf0\x9f\x8e\xb5"},
        // C1 controls: CSI as U+009B and as a lone byte; U+00A0 and a lone
        // 0xa0 are no controls.
        {"a\xc2\x9b" "2J", "a\\xc2\\x9b" "2J", "a\\xc2\\x9b" "2J", "a\\u009b" "2J", "a\\xc2\\x9b" "2J"},
        {"b\x9b" "2J\xa0\xc2\xa0", "b\\x9b" "2J\xa0\xc2\xa0", "b\\x9b" "2J\xa0\xc2\xa0",
         "b\\udc9b" "2J\\udca0\xc2\xa0", "b\\x9b" "2J\xa0\xc2\xa0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(tonalyx::escapeControls(row.raw), row.controls) << row.raw;
        EXPECT_EQ(tonalyx::batch_cli::escapeTsv(row.raw), row.tsv) << row.raw;
        EXPECT_EQ(tonalyx::batch_cli::escapeJson(row.raw), row.json) << row.raw;
        EXPECT_EQ(tonalyx::batch_cli::escapeCsv(row.raw), row.csv) << row.raw;
    }
}
