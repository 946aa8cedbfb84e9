// The escaper behind every name the tools print.
#include "common/name_escape.h"

#include <algorithm>

namespace tonalyx {

namespace {

constexpr char kHex[] = "0123456789abcdef";

bool isControl(unsigned char byte)
{
    return (byte >= 0x01 && byte <= 0x1f) || byte == 0x7f;
}

}  // namespace

void appendHexEscape(std::string& out, const char* prefix, unsigned value)
{
    out += prefix;
    out += kHex[(value >> 4) & 0xf];
    out += kHex[value & 0xf];
}

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte
// there starts none (overlong forms, surrogates and values past U+10FFFF
// included).
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t length;
    uint32_t value;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        value = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        value = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80)
            return 0;
        value = value << 6 | (byte(at + i) & 0x3f);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xd800 && value <= 0xdfff;
    if (overlong || surrogate || value > 0x10ffff)
        return 0;
    return length;
}

namespace {

// The C1 controls, which some terminals obey as they do ESC: the bytes
// 0x80-0x9F where they are not part of valid UTF-8, and U+0080-U+009F
// (c2 80 to c2 9f). Returns how many bytes at text[at] form one, or 0.
std::size_t c1Length(std::string_view text, std::size_t at)
{
    const auto byte = static_cast<unsigned char>(text[at]);
    const std::size_t length = utf8Length(text, at);
    if (length == 0)
        return byte >= 0x80 && byte <= 0x9f ? 1 : 0;
    if (length == 2 && byte == 0xc2 && static_cast<unsigned char>(text[at + 1]) <= 0x9f)
        return 2;
    return 0;
}

}  // namespace

std::string escapeName(std::string_view text, NameStyle style)
{
    const bool tsv = style == NameStyle::tsv;
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        if (tsv && (c == '\t' || c == '\n' || c == '\r' || c == '\\')) {
            out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\\\";
            ++at;
            continue;
        }
        if (style == NameStyle::csv && (c == '\t' || c == '\n' || c == '\r')) {
            out += c;
            ++at;
            continue;
        }
        if (isControl(byte) || (style != NameStyle::plain && byte == 0)) {
            appendHexEscape(out, "\\x", byte);
            ++at;
            continue;
        }
        const std::size_t c1 = c1Length(text, at);
        for (std::size_t i = 0; i < c1; ++i)
            appendHexEscape(out, "\\x", static_cast<unsigned char>(text[at + i]));
        if (c1 != 0) {
            at += c1;
            continue;
        }
        // A whole UTF-8 sequence at once, so that its continuation bytes
        // are never taken for lone ones.
        const std::size_t length = std::max<std::size_t>(utf8Length(text, at), 1);
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

}  // namespace tonalyx
