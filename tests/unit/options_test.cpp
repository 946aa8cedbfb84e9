#include <gtest/gtest.h>

#include <vector>

#include "cli/options.h"
#include "tonalyx/tonalyx.h"

TEST(LengthFromText, WrapsModulo2To32AndSkipsLeadingSpace)
{
    struct Row {
        const char* text;
        int32_t want;
    } rows[] = {
        {"1024", 1024},
        {"  \t\n\v\f\r77", 77},
        {"+12", 12},
        {"-5", -5},
        {"abc", 0},
        {"", 0},
        {"12abc", 12},
        {"- 5", 0},
        {"4294967297", 1},             // wraps, does not saturate
        {"4294967296", 0},
        {"99999999999999999999", static_cast<int32_t>(1661992959u)},  // 10^20 mod 2^32
        {"-4294967295", 1},
        {"2147483648", INT32_MIN},
    };
    for (const Row& row : rows)
        EXPECT_EQ(static_cast<int32_t>(tonalyx_length_from_text(row.text)), row.want) << "text \"" << row.text << "\"";
}

TEST(ReadOptions, EveryArgumentIsComparedWithEveryWord)
{
    struct Row {
        std::vector<const char*> args;
        std::string file;
        uint32_t length;
        int verbose;
        bool gnuplot, valuelist;
    } rows[] = {
        {{}, "", 1024, 0, false, false},
        {{"-i", "-v"}, "-v", 1024, 1, false, false},
        {{"-i", "a.wav", "-i", "b.wav"}, "b.wav", 1024, 0, false, false},
        {{"-length", "7", "-length", "9", "-x", "--v", "-V"}, "", 9, 0, false, false},
        {{"-gnuplot", "-valuelist", "-i", "f"}, "f", 1024, 0, true, true},
        {{"-i"}, "", 1024, 0, false, false},               // no value: stays as it was
        {{"-length", "3", "-length"}, "", 3, 0, false, false},
        {{"-length", "-i", "-i", "-length"}, "-length", 0, 0, false, false},
        {{"-i", "-gnuplot"}, "-gnuplot", 1024, 0, true, false},
    };
    for (const Row& row : rows) {
        std::vector<const char*> argv{"tonalyx"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        const Options options = readOptions(static_cast<int>(argv.size()), argv.data());
        const std::string shown = testing::PrintToString(row.args);
        EXPECT_EQ(options.fileName, row.file) << shown;
        EXPECT_EQ(options.length, row.length) << shown;
        EXPECT_EQ(options.verbose, row.verbose != 0) << shown;
        EXPECT_EQ(options.gnuplot, row.gnuplot) << shown;
        EXPECT_EQ(options.valuelist, row.valuelist) << shown;
    }
}

TEST(ReadOptions, MeasurementWords)
{
    struct Row {
        std::vector<const char*> args;
        bool hz, segments, pictures;
    } rows[] = {
        {{"-hz", "-i", "f"}, true, false, false},
        {{"-pictures", "-hz", "-segments"}, true, true, true},
        {{"-i", "-pictures"}, false, false, true},  // a file named -pictures, and the word
        {{"--pictures", "-Pictures", "-picture"}, false, false, false},
    };
    for (const Row& row : rows) {
        std::vector<const char*> argv{"tonalyx"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        const Options options = readOptions(static_cast<int>(argv.size()), argv.data());
        const std::string shown = testing::PrintToString(row.args);
        EXPECT_EQ(options.hz, row.hz) << shown;
        EXPECT_EQ(options.segments, row.segments) << shown;
        EXPECT_EQ(options.pictures, row.pictures) << shown;
    }
}

TEST(ReadOptions, FileNameIsKeptWholeWhateverItsLength)
{
    const std::string longName(5000, 'x');
    const char* argv[] = {"tonalyx", "-i", longName.c_str()};
    EXPECT_EQ(readOptions(3, argv).fileName, longName);
}
