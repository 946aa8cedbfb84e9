// The command line of tonalyx-batch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonalyx::batch_cli {

enum class Format { tsv, jsonl };

struct BatchCommand {
    unsigned jobs = 0;                     // 0: the hardware threads
    std::uint32_t expect = 0;              // a candidate, 0 for any
    double minResult = 0.1;
    std::optional<std::uint32_t> length;   // as the console's -length takes it
    bool hz = false;
    Format format = Format::tsv;
    bool help = false;
    std::vector<std::string> paths;
};

struct ParsedCommand {
    BatchCommand command;
    // Empty when the line is good; else what is wrong, control characters
    // escaped, to be printed before the usage.
    std::string error;
    bool usageOnly = false;  // no paths (or an empty line): just the usage
};

constexpr unsigned kMaxJobs = 1024;

// The words after the program's name.
ParsedCommand parseBatchCommand(const std::vector<std::string>& words);

// Numbers as the options take them; nullopt for anything else.
// Digits only, at most `max` (leading zeros allowed).
std::optional<std::uint64_t> wholeNumber(std::string_view text, std::uint64_t max);
// Digits only, of any size, modulo 2^32 (the console's -length wraps so).
std::optional<std::uint32_t> wholeNumberModulo32(std::string_view text);
// [+-] digits [. digits] or [+-] . digits, then an optional exponent
// e[+-]digits; finite only.
std::optional<double> decimalNumber(std::string_view text);

}  // namespace tonalyx::batch_cli
