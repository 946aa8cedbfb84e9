#include "run/run_output.h"

#include "common/text_format.h"

namespace tonalyx::detail {

std::string RunOutput::format(const char* format, va_list arguments)
{
    std::string text;
    tonalyx::detail::appendFormatted(text, format, arguments);
    return text;
}

void RunOutput::emit(tonalyx::OutputKind kind, std::string_view text)
{
    if (keepTrace_)
        report_.trace.append(text);
    if (sink_)
        sink_->write(kind, text);
}

void RunOutput::trace(const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    const std::string text = format(fmt, arguments);
    va_end(arguments);
    emit(tonalyx::OutputKind::trace, text);
}

void RunOutput::message(tonalyx::MessageCode code, std::uint32_t number, std::string_view detail, const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    tonalyx::Message message{format(fmt, arguments), code, number, std::string(detail)};
    va_end(arguments);
    // The transcript holds what the console prints on standard output.
    if (keepTrace_ && tonalyx::consoleStream(code) == tonalyx::Stream::out)
        report_.trace.append(message.text);
    if (sink_)
        sink_->message(message);
    report_.messages.push_back(std::move(message));
}

void RunOutput::result(const char* fmt, ...)
{
    va_list arguments;
    va_start(arguments, fmt);
    const std::string text = format(fmt, arguments);
    va_end(arguments);
    emit(tonalyx::OutputKind::result, text);
}

}  // namespace tonalyx::detail
