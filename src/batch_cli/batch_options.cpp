#include "batch_cli/batch_options.h"

#include <charconv>
#include <cmath>

#include "tonalyx/tonalyx.hpp"

namespace tonalyx::batch_cli {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips digits from `at`; returns how many.
std::size_t skipDigits(std::string_view text, std::size_t& at)
{
    const std::size_t from = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at - from;
}

std::string quoted(std::string_view text)
{
    // Appended, not `"'" + ...`: g++ 12 warns wrongly (-Wrestrict) on that.
    std::string result(1, '\'');
    result += escapeControls(text);
    result += '\'';
    return result;
}

// The value of an option that takes one: the next word, or an error.
const std::string* valueOf(const std::vector<std::string>& words, std::size_t& i, ParsedCommand& parsed,
                           const char* need)
{
    if (i + 1 >= words.size()) {
        parsed.error = words[i] + " needs " + need;
        return nullptr;
    }
    return &words[++i];
}

bool readJobs(std::string_view text, ParsedCommand& parsed)
{
    const auto jobs = wholeNumber(text, kMaxJobs);
    if (!jobs || *jobs == 0) {
        parsed.error = "-j takes a whole number from 1 to " + std::to_string(kMaxJobs) + ", not " + quoted(text);
        return false;
    }
    parsed.command.jobs = static_cast<unsigned>(*jobs);
    return true;
}

bool readOption(const std::vector<std::string>& words, std::size_t& i, ParsedCommand& parsed)
{
    const std::string& word = words[i];
    BatchCommand& command = parsed.command;
    if (word == "-j") {
        const std::string* value = valueOf(words, i, parsed, "a number");
        return value != nullptr && readJobs(*value, parsed);
    }
    if (word.size() > 2 && word.compare(0, 2, "-j") == 0)
        return readJobs(std::string_view(word).substr(2), parsed);
    if (word == "--expect") {
        const std::string* value = valueOf(words, i, parsed, "a frequency");
        if (value == nullptr)
            return false;
        const auto freq = wholeNumber(*value, 1000);
        if (!freq || !isCandidate(static_cast<std::uint32_t>(*freq))) {
            parsed.error = "--expect takes one of the candidates 100, 120, ..., 1000, not " + quoted(*value);
            return false;
        }
        command.expect = static_cast<std::uint32_t>(*freq);
        return true;
    }
    if (word == "--min-result") {
        const std::string* value = valueOf(words, i, parsed, "a number");
        if (value == nullptr)
            return false;
        const auto minimum = decimalNumber(*value);
        if (!minimum) {
            parsed.error = "--min-result takes a decimal number, not " + quoted(*value);
            return false;
        }
        command.minResult = *minimum;
        return true;
    }
    if (word == "--length") {
        const std::string* value = valueOf(words, i, parsed, "a number");
        if (value == nullptr)
            return false;
        command.length = wholeNumberModulo32(*value);
        if (!command.length) {
            parsed.error = "--length takes a whole number, not " + quoted(*value);
            return false;
        }
        return true;
    }
    if (word == "--format") {
        const std::string* value = valueOf(words, i, parsed, "tsv or jsonl");
        if (value == nullptr)
            return false;
        if (*value == "tsv") {
            command.format = Format::tsv;
        } else if (*value == "jsonl") {
            command.format = Format::jsonl;
        } else {
            parsed.error = "--format takes tsv or jsonl, not " + quoted(*value);
            return false;
        }
        return true;
    }
    if (word == "--hz") {
        command.hz = true;
        return true;
    }
    if (word == "-h" || word == "--help") {
        command.help = true;
        return true;
    }
    parsed.error = "unknown option " + escapeControls(word);
    return false;
}

}  // namespace

std::optional<std::uint64_t> wholeNumber(std::string_view text, std::uint64_t max)
{
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (max - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<std::uint32_t> wholeNumberModulo32(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');  // wraps, as the console's does
    }
    return value;
}

std::optional<double> decimalNumber(std::string_view text)
{
    // The grammar is checked by hand: from_chars alone would take "inf",
    // "nan" and hexadecimal digits.
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t numberStart = at;
    std::size_t digits = skipDigits(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        digits += skipDigits(text, at);
    }
    if (digits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (skipDigits(text, at) == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    double value = 0.0;
    const char* first = text.data() + numberStart;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return text[0] == '-' ? -value : value;
}

ParsedCommand parseBatchCommand(const std::vector<std::string>& words)
{
    ParsedCommand parsed;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            parsed.command.paths.insert(parsed.command.paths.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                        words.end());
            break;
        }
        if (word.size() > 1 && word[0] == '-') {
            if (!readOption(words, i, parsed))
                return parsed;
            continue;
        }
        parsed.command.paths.push_back(word);
    }
    if (!parsed.command.help && parsed.command.paths.empty())
        parsed.usageOnly = true;
    return parsed;
}

}  // namespace tonalyx::batch_cli
