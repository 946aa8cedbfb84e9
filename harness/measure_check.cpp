#include "measure_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <sstream>

#include "tonalyx/tonalyx.h"

namespace {

using Handle = std::unique_ptr<tonalyx_measurement, decltype(&tonalyx_measurement_free)>;

struct Pipe {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

long readPipe(void* user, void* buffer, size_t count)
{
    Pipe& pipe = *static_cast<Pipe*>(user);
    const size_t n = std::min({count, pipe.size - pipe.at, size_t{7}});  // small pieces, as a pipe gives
    if (n > 0)
        std::memcpy(buffer, pipe.data + pipe.at, n);
    pipe.at += n;
    return static_cast<long>(n);
}

bool printable(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\n'; });
}

// "-12.34" with exactly `decimals` digits after the point, or with
// decimals -1 a whole number; read as the C locale reads it.
bool number(const std::string& text, int decimals, double& value)
{
    const size_t digitsFrom = text.starts_with('-') && decimals >= 0 ? 1 : 0;
    const size_t point = decimals < 0 ? text.size() : text.find('.');
    if (point == std::string::npos || point == digitsFrom || point > digitsFrom + 9 ||
        text.size() - point != static_cast<size_t>(decimals + 1))
        return false;
    for (size_t i = digitsFrom; i < text.size(); ++i)
        if (i != point && (text[i] < '0' || text[i] > '9'))
            return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

// What is wrong with a measurement's line; "" when nothing is.
std::string brokenLine(const std::string& line)
{
    // The fields in order, and the decimals of each (-1: a whole number).
    static const struct {
        const char* name;
        int decimals;
    } kFields[] = {{"measured", 2}, {"purity", 3}, {"level", 1}, {"start", 3},  {"end", 3},   {"channel", -1},
                   {"thd", 2},      {"snr", 1},    {"drift", 2}, {"bursts", -1}};
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || !word.starts_with("tone="))
        return "no tone= first";
    const std::string tone = word.substr(5);
    double candidate = 0;
    if (tone != "none" && (!number(tone, -1, candidate) || candidate < 100 || candidate > 1000 ||
                           std::fmod(candidate, 20) != 0))
        return "tone is neither none nor a candidate: " + tone;
    double value[std::size(kFields)];
    for (size_t i = 0; i < std::size(kFields); ++i) {
        const std::string prefix = std::string(kFields[i].name) + "=";
        if (!(words >> word) || !word.starts_with(prefix))
            return "no " + prefix + " in its place";
        const std::string text = word.substr(prefix.size());
        if (!number(text, kFields[i].decimals, value[i]))
            return "not a number of its form: " + word;
    }
    const double measured = value[0], purity = value[1], start = value[3], end = value[4], bursts = value[9];
    if (purity < 0 || purity > 1)
        return "purity outside 0 to 1";
    if (start < 0 || end < start)
        return "the tone ends before it starts";
    if (tone != "none" && (std::abs(measured - candidate) > 10.005 || bursts < 1))
        return "a tone named out of reach of what was measured, or without a burst";
    // Then " reason=..." exactly when there is no tone, and " cut=..." when
    // the recording was cut short.
    static const char* kReasons[] = {"short", "impure", "off-band", "several", "silent", "hum"};
    const bool reasonDue = tone == "none";
    if (!(words >> word))
        return reasonDue ? "no tone and no reason" : "";
    if (word.starts_with("reason=") != reasonDue)
        return "a reason with a tone, or none without one";
    if (reasonDue) {
        if (std::none_of(std::begin(kReasons), std::end(kReasons),
                         [&](const char* name) { return word == std::string("reason=") + name; }))
            return "an unknown reason: " + word;
        if (!(words >> word))
            return {};
    }
    double cut = 0;
    if (!word.starts_with("cut=") || !number(word.substr(4), 3, cut) || cut <= 0)
        return "not a cut= after the fields: " + word;
    return words >> word ? "more after the line's fields: " + word : std::string();
}

std::string messagesOf(const tonalyx_measurement* m)
{
    std::string text;
    for (size_t i = 0; i < tonalyx_measurement_message_count(m); ++i)
        text += tonalyx_measurement_message(m, i, nullptr);
    return text;
}

}  // namespace

CheckedMeasure checkedMeasure(const uint8_t* data, size_t size)
{
    CheckedMeasure checked;
    const Handle memory(tonalyx_measure_memory(data, size, "fuzz.wav"), tonalyx_measurement_free);
    Pipe pipe{data, size};
    const Handle piped(tonalyx_measure_callbacks(readPipe, nullptr, &pipe, "fuzz.wav", 0), tonalyx_measurement_free);
    if (!memory || !piped) {
        checked.broken = "no measurement at all";
        return checked;
    }
    checked.status = tonalyx_measurement_status(memory.get());
    const std::string messages = messagesOf(memory.get());
    if (checked.status == TONALYX_OK) {
        checked.line = tonalyx_measurement_line(memory.get());
        checked.broken = brokenLine(checked.line);
    } else if (messages.empty())
        checked.broken = "refused without a message";
    if (checked.broken.empty() && !printable(messages))
        checked.broken = "a message that is not plain lines";
    if (checked.broken.empty() &&
        (tonalyx_measurement_status(piped.get()) != checked.status || messagesOf(piped.get()) != messages ||
         (checked.status == TONALYX_OK && tonalyx_measurement_line(piped.get()) != checked.line)))
        checked.broken = "through a pipe another answer";
    return checked;
}
