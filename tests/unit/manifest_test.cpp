#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/manifest.h"
#include "batch/row_plan.h"

using namespace tonalyx;

namespace {

// An entry as "name=440@2" (none for no tone, @ its line), to compare whole lists.
std::vector<std::string> shown(const std::vector<ExpectedTone>& entries)
{
    std::vector<std::string> list;
    for (const ExpectedTone& entry : entries)
        list.push_back(entry.file + "=" + (entry.none ? "none" : std::to_string(entry.tone)) + "@" +
                       std::to_string(entry.line));
    return list;
}

}  // namespace

TEST(Manifest, TsvAndCsvWithOrWithoutAHeader)
{
    struct Row {
        std::string text;
        std::vector<std::string> entries;
    } rows[] = {
        {"file\texpect\na.wav\t440\nb.wav\tnone\n", {"a.wav=440@2", "b.wav=none@3"}},
        {"a.wav,0440\r\nb.wav, NONE \r\n", {"a.wav=440@1", "b.wav=none@2"}},
        // Quoted CSV: a comma, doubled quotes and a line end in a name.
        {"\"a,\"\"b\"\"\r\nc.wav\",660\nd.wav,100", {"a,\"b\"\r\nc.wav=660@1", "d.wav=100@3"}},
        // TSV names as the batch's table writes them; a backslash that
        // starts no escape stays.
        {"a\\tb.wav\t440\nc\\\\d\\x1b.wav\t100\nC:\\data\\e.wav\t120\n",
         {"a\tb.wav=440@1", "c\\d\x1b.wav=100@2", "C:\\data\\e.wav=120@3"}},
        // A spreadsheet's byte order mark; blank lines before the header.
        {"\xef\xbb\xbf\nfile,expect\n\na.wav,440\n", {"a.wav=440@4"}},
        {"", {}},
    };
    for (const Row& row : rows) {
        const ManifestReading reading = parseManifest(row.text, "");
        EXPECT_EQ(reading.error, "") << row.text;
        EXPECT_EQ(shown(reading.manifest.entries), row.entries) << row.text;
    }
}

TEST(Manifest, AMalformedLineIsNamedByItsNumber)
{
    struct Row {
        std::string text;
        const char* error;
    } rows[] = {
        {"a.wav\n", "line 1: expected 2 fields (file, expect), found 1"},
        {"a.wav,440,x\n", "line 1: expected 2 fields (file, expect), found 3"},
        {"a.wav,440\nb.wav,445\n", "line 2: expect must be a candidate (100, 120, ..., 1000) or none, not '445'"},
        {"a.wav,440\nfile,expect\n", "line 2: expect must be a candidate (100, 120, ..., 1000) or none, not 'expect'"},
        {"a.wav\t\x1b[2J\n", "line 1: expect must be a candidate (100, 120, ..., 1000) or none, not '\\x1b[2J'"},
        {"a.wav,\n", "line 1: expect must be a candidate (100, 120, ..., 1000) or none, not ''"},
        {"a.wav,440\n\"b.wav,440\n", "line 2: a quoted field is not closed"},
        {"\"a\"x,440\n", "line 1: text after a closing quote"},
        {"a\"b,440\n", "line 1: a quote inside a field that is not quoted"},
        {",440\n", "line 1: the file name is empty"},
        {"a\\x00.wav\t440\n", "line 1: the file name holds a NUL byte"},
        {"a.wav,440\n./a.wav,none\n", "line 2: './a.wav' is listed on line 1 already"},
        {std::string(kMaxManifestLines, '\n') + "a.wav,440\n", "more than 1000000 lines"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(parseManifest(row.text, "").error, row.error) << row.text.substr(0, 40);
}

#ifndef _WIN32
TEST(Manifest, ReadFromItsFileWithinBounds)
{
    const ManifestReading missing = readManifest("/nonexistent/m.tsv");
    EXPECT_TRUE(missing.cannotRead);
    EXPECT_EQ(missing.error, "cannot open it (missing, a folder or no permission)");
    const ManifestReading endless = readManifest("/dev/zero");
    EXPECT_TRUE(endless.cannotRead);
    EXPECT_EQ(endless.error, "larger than 64 MiB");
}
#endif

TEST(Manifest, PathsComparedWithoutDotsAndDoubledSlashes)
{
    struct Row {
        const char* path;
        const char* normal;
    } rows[] = {
        {"a.wav", "a.wav"}, {"./a.wav", "a.wav"},   {"in//sub/./a.wav", "in/sub/a.wav"}, {"/abs/./x", "/abs/x"},
        {"//x", "/x"},      {"in/", "in"},          {"in/../a", "in/../a"},               {"", "."},
        {".", "."},
    };
    for (const Row& row : rows)
        EXPECT_EQ(detail::batch::normalizedPath(row.path), row.normal) << row.path;
}

TEST(Manifest, RowsForFilesFoundErrorsAndEntriesNotFound)
{
    detail::batch::WalkResult found;
    found.files = {"in/a.wav", "in/b.wav", "in/c.wav"};
    found.errors = {{"gone.wav", "no such file or folder", true}, {"in/locked", "cannot read folder: denied", false}};
    const Manifest manifest = parseManifest("a.wav,440\nin/c.wav,none\nx.wav,100\ngone.wav,440\n", "in").manifest;
    using Kind = detail::batch::PlannedRow::Kind;
    struct Want {
        const char* path;
        Kind kind;
        std::size_t line;  // of the entry; 0: none
    } want[] = {
        {"gone.wav", Kind::file, 4},              // as written
        {"in/a.wav", Kind::file, 1},              // relative to the manifest's folder
        {"in/b.wav", Kind::file, 0},              // unlisted
        {"in/c.wav", Kind::file, 2},
        {"in/locked", Kind::unreadableFolder, 0},
        {"in/x.wav", Kind::missing, 3},            // named where it was looked for
    };
    const std::vector<detail::batch::PlannedRow> rows = detail::batch::planRows(found, &manifest);
    ASSERT_EQ(rows.size(), std::size(want));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].path, want[i].path);
        EXPECT_EQ(rows[i].kind, want[i].kind) << want[i].path;
        EXPECT_EQ(rows[i].expected ? rows[i].expected->line : 0, want[i].line) << want[i].path;
    }
    EXPECT_EQ(rows[4].problem, "cannot read folder: denied");
    EXPECT_EQ(rows[5].problem, "not found, listed on line 3 of the manifest");
}
