// The escaper behind every name the tools print: the library's
// escapeControls and the batch tool's table fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tonalyx {

// How a name is printed: plain (controls as \xHH), as a TSV field (tab,
// line ends and backslash as escapes of their own too), or as a CSV field
// (tab and line ends kept: the quotes hold them).
enum class NameStyle { plain, tsv, csv };

// Every byte of a name as it may be printed: as it is, as a two-character
// escape of its own (TSV), or as \xHH; controls, C1 included, escaped.
std::string escapeName(std::string_view text, NameStyle style);

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte
// there starts none (overlong forms, surrogates and values past U+10FFFF
// included).
std::size_t utf8Length(std::string_view text, std::size_t at);

// prefix, then `value` as two lower-case hex digits.
void appendHexEscape(std::string& out, const char* prefix, unsigned value);

}  // namespace tonalyx
