// The text tonalyx-batch prints for a row: a TSV line or a JSON line on
// standard output, and the row's messages for standard error.
#pragma once

#include <string>
#include <string_view>

#include "tonalyx/tonalyx.hpp"

namespace tonalyx::batch_cli {

// The TSV header line, with its line end: the result's columns, or with hz
// the measurement's.
std::string tsvHeader(bool hz);
std::string tsvRow(const BatchRow& row, bool hz);
std::string jsonRow(const BatchRow& row, bool hz);

// Each line of each message as "NAME: LINE\n", the name escaped as in the
// table and the line's control characters escaped.
std::string messageLines(const BatchRow& row);

// The value after "key=" in a line of space-separated key=value fields
// (a result line or a measurement line); empty when there is none.
std::string_view fieldOf(std::string_view line, std::string_view key);

}  // namespace tonalyx::batch_cli
