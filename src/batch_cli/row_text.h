// The text tonalyx-batch prints for a row: a TSV, CSV or JSON line on
// standard output, and the row's messages for standard error.
#pragma once

#include <string>
#include <string_view>

#include "batch_cli/batch_options.h"
#include "api/api.h"

namespace tonalyx::batch_cli {

// The header line naming the columns, with its line end: the result's
// columns, or with hz the measurement's; "" for JSON lines, whose keys
// name the same columns in the same order.
std::string headerLine(Format format, bool hz);
// A row: TSV ends in LF, CSV (RFC 4180) in CR LF, JSON in LF.
std::string rowLine(const BatchRow& row, Format format, bool hz);

// Each line of each message as "NAME: LINE\n", the name escaped as in the
// table and the line's control characters escaped.
std::string messageLines(const BatchRow& row);

// The value after "key=" in a line of space-separated key=value fields
// (a result line or a measurement line); empty when there is none.
std::string_view fieldOf(std::string_view line, std::string_view key);

}  // namespace tonalyx::batch_cli
