// The records of a TSV or CSV text, one at a time, with their line numbers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tonalyx::detail::batch {

struct TableRecord {
    std::vector<std::string> fields;
    std::size_t line = 0;  // the line it starts on, from 1
};

// TSV: a record per line, fields between tabs, each unescaped as
// escapeTsv writes it (\t, \n, \r, \\, \xHH; any other backslash stays).
// CSV (RFC 4180): fields between commas, a field in double quotes may hold
// commas, line ends and doubled quotes. Either way LF or CR LF ends a
// line.
class TableRecords {
public:
    TableRecords(std::string_view text, bool csv) : text_(text), csv_(csv) {}
    // The next record: false at the end or on an error (error() then says
    // what, with its line).
    bool next(TableRecord& record);
    const std::string& error() const { return error_; }

private:
    bool nextTsv(TableRecord& record);
    bool nextCsv(TableRecord& record);
    bool quotedField(std::string& field);
    bool fail(std::size_t line, const char* what);

    std::string_view text_;
    bool csv_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
    std::string error_;
};

// A field of the batch's TSV read back.
std::string unescapeTsv(std::string_view field);

}  // namespace tonalyx::detail::batch
