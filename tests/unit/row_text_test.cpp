#include <gtest/gtest.h>

#include <algorithm>
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
    row.messages = {Message{"readDataChunk(): ERROR wrong data chunk ID\n", MessageCode::wrongDataId},
                    Message{"ERROR: no sample data loaded\n", MessageCode::noData}};
    return row;
}

// A tone as a measurement line would give it, with figures whose digits
// are plain to see.
BatchRow measuredRow(const char* file, bool hasTone, Verdict verdict)
{
    BatchRow row;
    row.file = file;
    Measurement& m = row.measurement;
    m.hasTone = hasTone;
    m.tone = hasTone ? 440 : 0;
    m.measured = 440.021;
    m.purity = hasTone ? 0.9984 : 0.31;
    m.level = -6.04;
    m.start = 0.1;
    m.end = 1.1;
    m.channel = 2;
    m.thd = 0.124;
    m.snr = 48.26;
    m.drift = 0.013;
    m.bursts = hasTone ? 3 : 0;
    m.reason = hasTone ? NoToneReason::none : NoToneReason::impure;
    row.verdict = verdict;
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

TEST(RowText, RowsInEachFormat)
{
    struct Row {
        BatchRow row;
        bool hz;
        Format format;
        const char* text;
    } rows[] = {
        {rowWithResult("in/a.wav", 440, 0.497611, Verdict::ok), false, Format::tsv, "in/a.wav\t0\t440\t0.497611\tok\n"},
        {rowWithResult("in/s.wav", 1000, 0.0, Verdict::weak), false, Format::tsv, "in/s.wav\t0\t1000\t0.000000\tweak\n"},
        {rowWithResult("a\tb\nc\rd\\e.wav", 240, 0.343473, Verdict::wrong), false, Format::tsv,
         "a\\tb\\nc\\rd\\\\e.wav\t0\t240\t0.343473\twrong\n"},
        {rowWithError("in/text.wav", Status::noData), false, Format::tsv, "in/text.wav\t253\t\t\terror\n"},
        {rowWithError("gone.wav", Status::cannotOpen), false, Format::tsv, "gone.wav\t254\t\t\terror\n"},
        {rowWithResult("in/a.wav", 440, 0.497611, Verdict::ok), false, Format::jsonl,
         R"({"file":"in/a.wav","status":0,"freq":440,"result":0.497611,"verdict":"ok","messages":[]})"
         "\n"},
        {rowWithError("in/\"q\".wav", Status::noData), false, Format::jsonl,
         R"({"file":"in/\"q\".wav","status":253,"freq":null,"result":null,"verdict":"error",)"
         R"("messages":["readDataChunk(): ERROR wrong data chunk ID","ERROR: no sample data loaded"]})"
         "\n"},
        {rowWithResult("in/a.wav", 440, 0.497611, Verdict::ok), false, Format::csv, "in/a.wav,0,440,0.497611,ok\r\n"},
        // With hz: the digits of the measurement line, the status tonalyx -hz exits with.
        {measuredRow("in/a.wav", true, Verdict::ok), true, Format::tsv,
         "in/a.wav\t0\t440\t440.02\t0.998\tok\t-6.0\t0.100\t1.100\t2\t0.12\t48.3\t0.01\t3\t\n"},
        {measuredRow("in/n.wav", false, Verdict::weak), true, Format::tsv,
         "in/n.wav\t1\t\t440.02\t0.310\tweak\t-6.0\t0.100\t1.100\t2\t0.12\t48.3\t0.01\t0\timpure\n"},
        {rowWithError("gone.wav", Status::cannotOpen), true, Format::tsv, "gone.wav\t254\t\t\t\terror\t\t\t\t\t\t\t\t\t\n"},
        {measuredRow("in/n.wav", false, Verdict::ok), true, Format::jsonl,
         R"({"file":"in/n.wav","status":1,"tone":null,"measured":440.02,"purity":0.310,"verdict":"ok","level":-6.0,)"
         R"("start":0.100,"end":1.100,"channel":2,"thd":0.12,"snr":48.3,"drift":0.01,"bursts":0,"reason":"impure",)"
         R"("messages":[]})"
         "\n"},
        {rowWithError("gone.wav", Status::cannotOpen), true, Format::jsonl,
         R"({"file":"gone.wav","status":254,"tone":null,"measured":null,"purity":null,"verdict":"error","level":null,)"
         R"("start":null,"end":null,"channel":null,"thd":null,"snr":null,"drift":null,"bursts":null,"reason":null,)"
         R"("messages":["readDataChunk(): ERROR wrong data chunk ID","ERROR: no sample data loaded"]})"
         "\n"},
        // CSV: quoted where needed, a quote doubled, the line ends inside kept.
        {measuredRow("in/a,\"b\"\r\nc.wav", true, Verdict::ok), true, Format::csv,
         "\"in/a,\"\"b\"\"\r\nc.wav\",0,440,440.02,0.998,ok,-6.0,0.100,1.100,2,0.12,48.3,0.01,3,\r\n"},
        {rowWithError("gone.wav", Status::cannotOpen), true, Format::csv, "gone.wav,254,,,,error,,,,,,,,,\r\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(rowLine(row.row, row.format, row.hz), row.text) << row.row.file;
}

TEST(RowText, MessagesGoToStandardErrorAfterTheEscapedName)
{
    BatchRow row = rowWithError("in/x\r\x1b.wav", Status::noData);
    row.messages.push_back(Message{"WARNING: two\nlines\r\n", MessageCode::lengthReduced});
    EXPECT_EQ(messageLines(row),
              "in/x\\r\\x1b.wav: readDataChunk(): ERROR wrong data chunk ID\n"
              "in/x\\r\\x1b.wav: ERROR: no sample data loaded\n"
              "in/x\\r\\x1b.wav: WARNING: two\n"
              "in/x\\r\\x1b.wav: lines\n");
}

TEST(RowText, HeadersNameTheColumns)
{
    const char* const hz = "file,status,tone,measured,purity,verdict,level,start,end,channel,thd,snr,drift,bursts,reason";
    struct Row {
        Format format;
        bool hz;
        std::string header;
    } rows[] = {
        {Format::tsv, false, "file\tstatus\tfreq\tresult\tverdict\n"},
        {Format::csv, false, "file,status,freq,result,verdict\r\n"},
        {Format::jsonl, false, ""},
        {Format::csv, true, std::string(hz) + "\r\n"},
        {Format::jsonl, true, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(headerLine(row.format, row.hz), row.header);
    std::string tsv = hz;
    std::replace(tsv.begin(), tsv.end(), ',', '\t');
    EXPECT_EQ(headerLine(Format::tsv, true), tsv + "\n");
}
