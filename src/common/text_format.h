// printf-style text without the C library's printf, so that no locale can
// change a byte of what a run says. It knows the conversions the library's
// texts use: %d, %u and %x (an int, an unsigned; with a width and the flags
// 0 and -), %c, %s (with a width), %% and %f / %lf (a double, with a width
// and a precision of 0 to 6, 6 by default), each number written by the
// project's own formatter. Anything else is copied as it stands.
#pragma once

#include <cstdarg>
#include <string>

namespace tonalyx::detail {

void appendFormatted(std::string& out, const char* format, va_list arguments);

std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tonalyx::detail
