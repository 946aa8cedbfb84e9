#include <gtest/gtest.h>

#include <string>

#include "batch_cli/row_text.h"

using namespace tonalyx;
using namespace tonalyx::batch_cli;

namespace {

BatchRow rowWithResult(const char* file, std::uint32_t freq, double result, Verdict verdict)
{
    BatchRow row;
    row.file = file;
    row.report.hasResult = true;
    row.report.bestFreq = freq;
    row.report.bestResult = result;
    row.verdict = verdict;
    return row;
}

BatchRow rowWithError(const char* file, Status status)
{
    BatchRow row;
    row.file = file;
    row.status = status;
    row.report.status = status;
    row.verdict = Verdict::error;
    row.messages = {Message{Stream::err, "readDataChunk(): ERROR wrong data chunk ID\n"},
                    Message{Stream::out, "ERROR: no sample data loaded\n"}};
    return row;
}

}  // namespace

TEST(FieldOf, TheValueAfterItsKey)
{
    struct Row {
        const char* line;
        const char* key;
        const char* value;
    } rows[] = {
        {"bestResult=0.497611 best matching freq.=440", "freq.", "440"},
        {"bestResult=0.497611 best matching freq.=440", "bestResult", "0.497611"},
        {"bestResult=0.497611 best matching freq.=440", "freq", ""},  // the key is whole
        {"tone=none measured=12.50 purity=0.100", "tone", "none"},
        {"tone=none measured=12.50 purity=0.100", "purity", "0.100"},
        {"tones=3 tone=440", "tone", "440"},
        {"tone=", "tone", ""},
        {"", "tone", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(fieldOf(row.line, row.key), row.value) << row.line << " / " << row.key;
}

TEST(RowText, TableRowsEscapeTheNameAndLeaveNumbersEmptyWithoutAResult)
{
    struct Row {
        BatchRow row;
        const char* tsv;
    } rows[] = {
        {rowWithResult("in/a.wav", 440, 0.497611, Verdict::ok), "in/a.wav\t0\t440\t0.497611\tok\n"},
        {rowWithResult("in/s.wav", 1000, 0.0, Verdict::weak), "in/s.wav\t0\t1000\t0.000000\tweak\n"},
        {rowWithResult("a\tb\nc\rd\\e.wav", 240, 0.343473, Verdict::wrong),
         "a\\tb\\nc\\rd\\\\e.wav\t0\t240\t0.343473\twrong\n"},
        {rowWithError("in/text.wav", Status::noData), "in/text.wav\t253\t\t\terror\n"},
        {rowWithError("gone.wav", Status::cannotOpen), "gone.wav\t254\t\t\terror\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(tsvRow(row.row, false), row.tsv);
}

TEST(RowText, JsonRowsHoldTheSameFieldsAndTheMessagesWithoutLineEnds)
{
    struct Row {
        BatchRow row;
        const char* json;
    } rows[] = {
        {rowWithResult("in/a.wav", 440, 0.497611, Verdict::ok),
         R"({"file":"in/a.wav","status":0,"freq":440,"result":0.497611,"verdict":"ok","messages":[]})"
         "\n"},
        {rowWithError("in/\"q\".wav", Status::noData),
         R"({"file":"in/\"q\".wav","status":253,"freq":null,"result":null,"verdict":"error",)"
         R"("messages":["readDataChunk(): ERROR wrong data chunk ID","ERROR: no sample data loaded"]})"
         "\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(jsonRow(row.row, false), row.json);
}

TEST(RowText, MessagesGoToStandardErrorAfterTheEscapedName)
{
    BatchRow row = rowWithError("in/x\r\x1b.wav", Status::noData);
    row.messages.push_back(Message{Stream::out, "WARNING: two\nlines\r\n"});
    EXPECT_EQ(messageLines(row),
              "in/x\\r\\x1b.wav: readDataChunk(): ERROR wrong data chunk ID\n"
              "in/x\\r\\x1b.wav: ERROR: no sample data loaded\n"
              "in/x\\r\\x1b.wav: WARNING: two\n"
              "in/x\\r\\x1b.wav: lines\n");
}

TEST(RowText, HeadersNameTheColumns)
{
    EXPECT_EQ(tsvHeader(false), "file\tstatus\tfreq\tresult\tverdict\n");
    EXPECT_EQ(tsvHeader(true), "file\tstatus\ttone\tmeasured\tpurity\tverdict\n");
}
