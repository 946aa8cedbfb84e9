// A name as one field of the batch tool's TSV, CSV or JSON lines.
#pragma once

#include <string>
#include <string_view>

namespace tonalyx::batch_cli {

// One TSV field: \t, \n, \r and \\ as two-character escapes, other control
// bytes (C1 included, as escapeControls) as \xHH.
std::string escapeTsv(std::string_view text);
// A JSON string's contents: valid UTF-8 passes, `"` and `\` and control
// characters (C1 included) are escaped, and each byte that is not valid
// UTF-8 becomes \udcHH (a lone surrogate, as Python's surrogateescape
// reads it back), so the object still parses and the name can be recovered.
std::string escapeJson(std::string_view text);
// One CSV field (RFC 4180): the name's bytes as they are but the control
// characters other than tab, CR and LF, written as escapeControls writes
// them; in double quotes, each quote doubled, when it holds a comma, a
// quote, a CR or an LF.
std::string escapeCsv(std::string_view text);

}  // namespace tonalyx::batch_cli
