#include "batch_cli/batch_options.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "api/api.h"

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

// A decimal option's value within [low, high]; the error names `range`.
bool readDecimal(const std::vector<std::string>& words, std::size_t& i, ParsedCommand& parsed,
                 std::optional<double>& into, double low, double high, const char* range)
{
    const std::string& option = words[i];
    const std::string* value = valueOf(words, i, parsed, "a number");
    if (value == nullptr)
        return false;
    const auto number = decimalNumber(*value);
    if (!number || *number < low || *number > high) {
        parsed.error = option + " takes " + range + ", not " + quoted(*value);
        return false;
    }
    into = *number;
    return true;
}

bool readExpect(const std::string& value, ParsedCommand& parsed)
{
    if (value == "none") {
        parsed.command.expectNone = true;
        parsed.command.expect = 0;
        return true;
    }
    const auto freq = wholeNumber(value, 1000);
    if (!freq || !isCandidate(static_cast<std::uint32_t>(*freq))) {
        parsed.error = "--expect takes one of the candidates 100, 120, ..., 1000 or none, not " + quoted(value);
        return false;
    }
    parsed.command.expect = static_cast<std::uint32_t>(*freq);
    parsed.command.expectNone = false;
    return true;
}

bool readFormat(const std::string& value, ParsedCommand& parsed)
{
    if (value == "tsv")
        parsed.command.format = Format::tsv;
    else if (value == "jsonl")
        parsed.command.format = Format::jsonl;
    else if (value == "csv")
        parsed.command.format = Format::csv;
    else
        parsed.error = "--format takes tsv, jsonl or csv, not " + quoted(value);
    return parsed.error.empty();
}

// Options without a value.
bool readFlag(const std::string& word, BatchCommand& command)
{
    if (word == "--hz")
        command.hz = true;
    else if (word == "--quiet")
        command.quiet = true;
    else if (word == "--progress")
        command.progress = true;
    else if (word == "--no-progress")
        command.progress = false;
    else if (word == "-h" || word == "--help")
        command.help = true;
    else
        return false;
    return true;
}

bool readOption(const std::vector<std::string>& words, std::size_t& i, ParsedCommand& parsed)
{
    const std::string& word = words[i];
    BatchCommand& command = parsed.command;
    if (readFlag(word, command))
        return true;
    if (word == "-j") {
        const std::string* value = valueOf(words, i, parsed, "a number");
        return value != nullptr && readJobs(*value, parsed);
    }
    if (word.size() > 2 && word.compare(0, 2, "-j") == 0)
        return readJobs(std::string_view(word).substr(2), parsed);
    if (word == "--expect") {
        const std::string* value = valueOf(words, i, parsed, "a frequency or none");
        return value != nullptr && readExpect(*value, parsed);
    }
    if (word == "--expect-from") {
        const std::string* value = valueOf(words, i, parsed, "a file");
        if (value != nullptr)
            command.expectFrom = *value;
        return value != nullptr;
    }
    constexpr double kAny = 1e300;
    if (word == "--min-result")
        return readDecimal(words, i, parsed, command.minResult, -kAny, kAny, "a decimal number");
    if (word == "--min-purity")
        return readDecimal(words, i, parsed, command.minPurity, 0.0, 1.0, "a decimal number from 0 to 1");
    if (word == "--min-level")
        return readDecimal(words, i, parsed, command.minLevel, -kAny, kAny, "a decimal number of dBFS");
    if (word == "--tolerance")
        return readDecimal(words, i, parsed, command.tolerance, 0.0, kAny, "a decimal number of Hz, 0 or more");
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
        const std::string* value = valueOf(words, i, parsed, "tsv, jsonl or csv");
        return value != nullptr && readFormat(*value, parsed);
    }
    parsed.error = "unknown option " + escapeControls(word);
    return false;
}

// An option that does not apply to the mode is an error, never ignored.
std::string modeError(const BatchCommand& command)
{
    if (command.hz) {
        if (command.minResult)
            return "--min-result judges the default answer; with --hz use --min-purity";
        if (command.length)
            return "--length sets the default answer's slots; it does not apply with --hz";
        if (command.expectFrom && (command.expect != 0 || command.expectNone))
            return "--expect and --expect-from do not go together";
        return {};
    }
    const std::pair<bool, const char*> hzOnly[] = {
        {command.minPurity.has_value(), "--min-purity"}, {command.minLevel.has_value(), "--min-level"},
        {command.tolerance.has_value(), "--tolerance"},  {command.expectNone, "--expect none"},
        {command.expectFrom.has_value(), "--expect-from"},
    };
    for (const auto& [given, name] : hzOnly)
        if (given)
            return std::string(name) + " judges the measurement: it needs --hz";
    return {};
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
    if (parsed.command.help)
        return parsed;
    parsed.error = modeError(parsed.command);
    if (parsed.error.empty() && parsed.command.paths.empty())
        parsed.usageOnly = true;
    return parsed;
}

}  // namespace tonalyx::batch_cli
