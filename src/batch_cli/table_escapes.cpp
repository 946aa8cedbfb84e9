#include "batch_cli/table_escapes.h"

#include "common/name_escape.h"

namespace tonalyx::batch_cli {

std::string escapeTsv(std::string_view text)
{
    return escapeName(text, NameStyle::tsv);
}

std::string escapeCsv(std::string_view text)
{
    const std::string field = escapeName(text, NameStyle::csv);
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted;
}

std::string escapeJson(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = utf8Length(text, at);
        if (length == 0) {
            appendHexEscape(out, "\\udc", byte);  // as surrogateescape reads it
            ++at;
            continue;
        }
        if (length == 2 && byte == 0xc2 && static_cast<unsigned char>(text[at + 1]) <= 0x9f) {
            appendHexEscape(out, "\\u00", static_cast<unsigned char>(text[at + 1]));  // a C1 control
            at += 2;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(at, length));
            at += length;
            continue;
        }
        switch (byte) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7f)
                appendHexEscape(out, "\\u00", byte);
            else
                out += static_cast<char>(byte);
        }
        ++at;
    }
    return out;
}

}  // namespace tonalyx::batch_cli
