#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_cli/batch_options.h"

using namespace tonalyx::batch_cli;

TEST(BatchNumbers, WholeNumbersWithinTheirRange)
{
    struct Row {
        const char* text;
        std::uint64_t max;
        bool valid;
        std::uint64_t value;
    } rows[] = {
        {"1", 1024, true, 1},
        {"1024", 1024, true, 1024},
        {"1025", 1024, false, 0},
        {"0008", 1024, true, 8},
        {"99999999999999999999", 1024, false, 0},  // no wrap past 2^64 either
        {"18446744073709551615", UINT64_MAX, true, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, false, 0},
        {"", 1024, false, 0},
        {"+4", 1024, false, 0},
        {"-4", 1024, false, 0},
        {"4 ", 1024, false, 0},
        {" 4", 1024, false, 0},
        {"0x10", 1024, false, 0},
        {"٣", 1024, false, 0},  // an Arabic-Indic three is not a digit here
    };
    for (const Row& row : rows) {
        const auto value = wholeNumber(row.text, row.max);
        EXPECT_EQ(value.has_value(), row.valid) << "'" << row.text << "'";
        if (value && row.valid) {
            EXPECT_EQ(*value, row.value) << "'" << row.text << "'";
        }
    }
}

TEST(BatchNumbers, LengthWrapsModulo2To32AsTheConsoleDoes)
{
    struct Row {
        const char* text;
        bool valid;
        std::uint32_t value;
    } rows[] = {
        {"4096", true, 4096},
        {"0", true, 0},
        {"4294967297", true, 1},                 // 2^32 + 1
        {"99999999999999999999", true, 1661992959u},  // 10^20 - 1 = 23283064365 * 2^32 + 1661992959
        {"x", false, 0},
        {"-5", false, 0},
        {"", false, 0},
        {"12abc", false, 0},
    };
    for (const Row& row : rows) {
        const auto value = wholeNumberModulo32(row.text);
        EXPECT_EQ(value.has_value(), row.valid) << "'" << row.text << "'";
        if (value && row.valid) {
            EXPECT_EQ(*value, row.value) << "'" << row.text << "'";
        }
    }
}

TEST(BatchNumbers, DecimalNumbersWithAnExponentButNothingElse)
{
    struct Row {
        const char* text;
        bool valid;
        double value;
    } rows[] = {
        {"0.1", true, 0.1},     {"1e-3", true, 0.001},   {"1E-3", true, 0.001}, {"-0.25", true, -0.25},
        {"+2", true, 2.0},      {".5", true, 0.5},       {"5.", true, 5.0},     {"2.5e+1", true, 25.0},
        {"0", true, 0.0},       {"", false, 0},          {".", false, 0},       {"e5", false, 0},
        {"1e", false, 0},       {"1e+", false, 0},       {"inf", false, 0},     {"nan", false, 0},
        {"0x1p3", false, 0},    {"1,5", false, 0},       {"1.5 ", false, 0},    {"--1", false, 0},
        {"1e999", false, 0},    {"0.3.4", false, 0},
    };
    for (const Row& row : rows) {
        const auto value = decimalNumber(row.text);
        EXPECT_EQ(value.has_value(), row.valid) << "'" << row.text << "'";
        if (value && row.valid) {
            EXPECT_EQ(*value, row.value) << "'" << row.text << "'";
        }
    }
}

TEST(BatchCommandLine, OptionsAndPaths)
{
    struct Row {
        std::vector<std::string> words;
        unsigned jobs;
        std::uint32_t expect;
        double minResult;  // -1: not given
        long length;       // -1: not given
        bool hz;
        Format format;
        std::vector<std::string> paths;
    } rows[] = {
        {{"a.wav"}, 0, 0, -1, -1, false, Format::tsv, {"a.wav"}},
        {{"-j", "3", "a", "b"}, 3, 0, -1, -1, false, Format::tsv, {"a", "b"}},
        {{"-j7", "a"}, 7, 0, -1, -1, false, Format::tsv, {"a"}},
        {{"--expect", "0440", "a"}, 0, 440, -1, -1, false, Format::tsv, {"a"}},
        {{"--min-result", "1e-3", "--length", "4096", "a"}, 0, 0, 0.001, 4096, false, Format::tsv, {"a"}},
        {{"--hz", "--format", "jsonl", "a"}, 0, 0, -1, -1, true, Format::jsonl, {"a"}},
        {{"--format", "csv", "a"}, 0, 0, -1, -1, false, Format::csv, {"a"}},
        {{"a", "--", "-delete", "--", "-j"}, 0, 0, -1, -1, false, Format::tsv, {"a", "-delete", "--", "-j"}},
        {{"-", "a"}, 0, 0, -1, -1, false, Format::tsv, {"-", "a"}},  // a lone dash is a name
        {{"--length", "0", "a"}, 0, 0, -1, 0, false, Format::tsv, {"a"}},
    };
    for (const Row& row : rows) {
        const std::string shown = testing::PrintToString(row.words);
        const ParsedCommand parsed = parseBatchCommand(row.words);
        ASSERT_EQ(parsed.error, "") << shown;
        EXPECT_FALSE(parsed.usageOnly) << shown;
        const BatchCommand& command = parsed.command;
        EXPECT_EQ(command.jobs, row.jobs) << shown;
        EXPECT_EQ(command.expect, row.expect) << shown;
        EXPECT_EQ(command.minResult.value_or(-1), row.minResult) << shown;
        EXPECT_EQ(command.length ? static_cast<long>(*command.length) : -1L, row.length) << shown;
        EXPECT_EQ(command.hz, row.hz) << shown;
        EXPECT_EQ(command.format, row.format) << shown;
        EXPECT_EQ(command.paths, row.paths) << shown;
    }
}

TEST(BatchCommandLine, ThresholdsOfTheMeasurement)
{
    struct Row {
        std::vector<std::string> words;
        double minPurity, minLevel, tolerance;  // -1000: not given
        bool expectNone;
        const char* expectFrom;                 // "": not given
    } rows[] = {
        {{"--hz", "a"}, -1000, -1000, -1000, false, ""},
        {{"--hz", "--min-purity", "0.9", "--min-level", "-30", "--tolerance", "2.5", "a"}, 0.9, -30, 2.5, false, ""},
        {{"--min-purity", "0", "--tolerance", "0", "--hz", "a"}, 0, -1000, 0, false, ""},  // the order does not matter
        {{"--hz", "--min-purity", "1", "--expect", "none", "a"}, 1, -1000, -1000, true, ""},
        {{"--hz", "--expect", "none", "--expect", "440", "a"}, -1000, -1000, -1000, false, ""},  // the last wins
        {{"--hz", "--expect-from", "-m.tsv", "a"}, -1000, -1000, -1000, false, "-m.tsv"},
    };
    for (const Row& row : rows) {
        const std::string shown = testing::PrintToString(row.words);
        const ParsedCommand parsed = parseBatchCommand(row.words);
        ASSERT_EQ(parsed.error, "") << shown;
        const BatchCommand& command = parsed.command;
        EXPECT_EQ(command.minPurity.value_or(-1000), row.minPurity) << shown;
        EXPECT_EQ(command.minLevel.value_or(-1000), row.minLevel) << shown;
        EXPECT_EQ(command.tolerance.value_or(-1000), row.tolerance) << shown;
        EXPECT_EQ(command.expectNone, row.expectNone) << shown;
        EXPECT_EQ(command.expectFrom.value_or(""), row.expectFrom) << shown;
    }
}

TEST(BatchCommandLine, UsageErrorsSayWhat)
{
    struct Row {
        std::vector<std::string> words;
        const char* error;
    } rows[] = {
        {{"-j", "99999999999999999999", "a"}, "-j takes a whole number from 1 to 1024, not '99999999999999999999'"},
        {{"-j", "0", "a"}, "-j takes a whole number from 1 to 1024, not '0'"},
        {{"-j1025", "a"}, "-j takes a whole number from 1 to 1024, not '1025'"},
        {{"-j"}, "-j needs a number"},
        {{"--expect", "445", "a"}, "--expect takes one of the candidates 100, 120, ..., 1000 or none, not '445'"},
        {{"--expect", "1020", "a"}, "--expect takes one of the candidates 100, 120, ..., 1000 or none, not '1020'"},
        {{"--expect", "440Hz", "a"}, "--expect takes one of the candidates 100, 120, ..., 1000 or none, not '440Hz'"},
        {{"--expect", "None", "a"}, "--expect takes one of the candidates 100, 120, ..., 1000 or none, not 'None'"},
        {{"--min-result", "0,1", "a"}, "--min-result takes a decimal number, not '0,1'"},
        {{"--length", "x", "a"}, "--length takes a whole number, not 'x'"},
        {{"--format", "xlsx", "a"}, "--format takes tsv, jsonl or csv, not 'xlsx'"},
        {{"--frobnicate", "a"}, "unknown option --frobnicate"},
        {{"-\x1b[2J", "a"}, "unknown option -\\x1b[2J"},  // a terminal escape is not echoed raw
        {{"--expect", "4\r40", "a"}, "--expect takes one of the candidates 100, 120, ..., 1000 or none, not '4\\x0d40'"},
        // Numbers that are not finite, or out of their range.
        {{"--hz", "--min-purity", "nan", "a"}, "--min-purity takes a decimal number from 0 to 1, not 'nan'"},
        {{"--hz", "--min-purity", "1.01", "a"}, "--min-purity takes a decimal number from 0 to 1, not '1.01'"},
        {{"--hz", "--min-purity", "-0.1", "a"}, "--min-purity takes a decimal number from 0 to 1, not '-0.1'"},
        {{"--hz", "--min-level", "-inf", "a"}, "--min-level takes a decimal number of dBFS, not '-inf'"},
        {{"--hz", "--min-level", "1e999", "a"}, "--min-level takes a decimal number of dBFS, not '1e999'"},
        {{"--hz", "--tolerance", "-1", "a"}, "--tolerance takes a decimal number of Hz, 0 or more, not '-1'"},
        {{"--hz", "--tolerance"}, "--tolerance needs a number"},
        {{"--hz", "--expect-from"}, "--expect-from needs a file"},
        // A threshold that does not apply to the mode.
        {{"--hz", "--min-result", "0.2", "a"}, "--min-result judges the default answer; with --hz use --min-purity"},
        {{"--min-result", "0.2", "--hz", "a"}, "--min-result judges the default answer; with --hz use --min-purity"},
        {{"--hz", "--length", "4096", "a"}, "--length sets the default answer's slots; it does not apply with --hz"},
        {{"--min-purity", "0.5", "a"}, "--min-purity judges the measurement: it needs --hz"},
        {{"--min-level", "-20", "a"}, "--min-level judges the measurement: it needs --hz"},
        {{"--tolerance", "5", "a"}, "--tolerance judges the measurement: it needs --hz"},
        {{"--expect", "none", "a"}, "--expect none judges the measurement: it needs --hz"},
        {{"--expect-from", "m.tsv", "a"}, "--expect-from judges the measurement: it needs --hz"},
        {{"--hz", "--expect", "440", "--expect-from", "m.tsv", "a"}, "--expect and --expect-from do not go together"},
    };
    for (const Row& row : rows) {
        const ParsedCommand parsed = parseBatchCommand(row.words);
        EXPECT_EQ(parsed.error, row.error) << testing::PrintToString(row.words);
    }
}

TEST(BatchCommandLine, NoPathsGivesTheUsageButHelpDoesNot)
{
    EXPECT_TRUE(parseBatchCommand({}).usageOnly);
    EXPECT_TRUE(parseBatchCommand({"-j", "2"}).usageOnly);
    EXPECT_TRUE(parseBatchCommand({"--"}).usageOnly);
    EXPECT_FALSE(parseBatchCommand({"--help"}).usageOnly);
    EXPECT_TRUE(parseBatchCommand({"-h"}).command.help);
}
