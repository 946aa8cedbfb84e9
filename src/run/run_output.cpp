#include "run/run_output.h"

#include "common/text_format.h"

namespace tonalyx::detail {

std::string RunOutput::format(const char* format, va_list arguments)
{
    std::string text;
    tonalyx::detail::appendFormatted(text, format, arguments);
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

}  // namespace tonalyx::detail
