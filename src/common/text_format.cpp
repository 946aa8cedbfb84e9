#include "common/text_format.h"

#include <cstdint>

#include "common/fixed_format.h"

namespace tonalyx::detail {

namespace {

struct Conversion {
    bool left = false;      // flag -
    bool zeros = false;     // flag 0
    unsigned width = 0;
    int precision = -1;     // none given
};

// `text` padded to the width, on the left (with zeros after any sign for a
// number with flag 0) or on the right (flag -).
void appendPadded(std::string& out, const Conversion& c, const char* text, std::size_t length, bool number)
{
    const std::size_t pad = c.width > length ? c.width - length : 0;
    if (c.left) {
        out.append(text, length);
        out.append(pad, ' ');
        return;
    }
    if (c.zeros && number) {
        const std::size_t sign = length > 0 && text[0] == '-';
        out.append(text, sign);
        out.append(pad, '0');
        out.append(text + sign, length - sign);
        return;
    }
    out.append(pad, ' ');
    out.append(text, length);
}

char* writeHex(uint64_t value, char* out)
{
    char digits[16];
    int count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value != 0);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

unsigned readNumber(const char*& p)
{
    unsigned value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10 + static_cast<unsigned>(*p++ - '0');
    return value;
}

}  // namespace

void appendFormatted(std::string& out, const char* format, va_list arguments)
{
    char number[kFixedMaxChars];
    for (const char* p = format; *p != '\0';) {
        if (*p != '%') {
            const char* plain = p;
            while (*p != '\0' && *p != '%')
                ++p;
            out.append(plain, static_cast<std::size_t>(p - plain));
            continue;
        }
        const char* start = p++;
        Conversion c;
        for (;; ++p) {
            if (*p == '-')
                c.left = true;
            else if (*p == '0')
                c.zeros = true;
            else
                break;
        }
        c.width = readNumber(p);
        if (*p == '.') {
            ++p;
            c.precision = static_cast<int>(readNumber(p));
        }
        if (*p == 'l')
            ++p;
        switch (*p) {
        case 'd': {
            const int value = va_arg(arguments, int);
            char* end = number;
            if (value < 0)
                *end++ = '-';
            end = formatWhole(value < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(value))
                                        : static_cast<uint64_t>(value),
                              end);
            appendPadded(out, c, number, static_cast<std::size_t>(end - number), true);
            break;
        }
        case 'u': {
            const char* end = formatWhole(va_arg(arguments, unsigned), number);
            appendPadded(out, c, number, static_cast<std::size_t>(end - number), true);
            break;
        }
        case 'x': {
            const char* end = writeHex(va_arg(arguments, unsigned), number);
            appendPadded(out, c, number, static_cast<std::size_t>(end - number), true);
            break;
        }
        case 'f': {
            const char* end = formatFixed(va_arg(arguments, double), c.precision < 0 ? 6 : c.precision, number);
            // printf pads inf and nan with spaces, even with flag 0.
            const char first = number[number[0] == '-'];
            appendPadded(out, c, number, static_cast<std::size_t>(end - number), first >= '0' && first <= '9');
            break;
        }
        case 'c':
            number[0] = static_cast<char>(va_arg(arguments, int));
            appendPadded(out, c, number, 1, false);
            break;
        case 's': {
            const char* text = va_arg(arguments, const char*);
            std::size_t length = 0;
            while (text[length] != '\0')
                ++length;
            appendPadded(out, c, text, length, false);
            break;
        }
        case '%':
            out += '%';
            break;
        default:
            out.append(start, static_cast<std::size_t>(p - start));
            continue;  // the character after is plain text
        }
        ++p;
    }
}

std::string formatText(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::string text;
    appendFormatted(text, format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace tonalyx::detail
