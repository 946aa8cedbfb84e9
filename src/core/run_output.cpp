#include "core/run_output.h"

#include <cstdio>

std::string RunOutput::format(const char* format, va_list arguments)
{
    char small[256];
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, arguments);
    std::string text;
    if (length < 0) {
        va_end(again);
        return text;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        text.assign(small, static_cast<size_t>(length));
    } else {
        text.resize(static_cast<size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

void RunOutput::emit(tonalyx::Stream stream, tonalyx::OutputKind kind, std::string_view text)
{
    if (keepTrace_ && stream == tonalyx::Stream::out)
        report_.trace.append(text);
    if (sink_)
        sink_->write(stream, kind, text);
}

void RunOutput::trace(const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    const std::string text = format(fmt, arguments);
    va_end(arguments);
    emit(tonalyx::Stream::out, tonalyx::OutputKind::trace, text);
}

void RunOutput::message(tonalyx::Stream stream, tonalyx::MessageCode code, std::uint32_t number,
                        std::string_view detail, const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    std::string text = format(fmt, arguments);
    va_end(arguments);
    emit(stream, tonalyx::OutputKind::message, text);
    report_.messages.push_back({stream, std::move(text), code, number, std::string(detail)});
}

void RunOutput::result(const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    const std::string text = format(fmt, arguments);
    va_end(arguments);
    emit(tonalyx::Stream::out, tonalyx::OutputKind::result, text);
}
