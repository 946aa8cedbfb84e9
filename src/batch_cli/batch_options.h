// The command line of tonalyx-batch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonalyx::batch_cli {

enum class Format { tsv, jsonl, csv };

struct BatchCommand {
    unsigned jobs = 0;                     // 0: the hardware threads
    std::uint32_t expect = 0;              // a candidate, 0 for any
    bool expectNone = false;               // --expect none (with hz)
    std::optional<std::string> expectFrom; // the manifest (with hz)
    // The thresholds given; the others keep the library's defaults.
    std::optional<double> minResult;       // without hz
    std::optional<double> minPurity;       // with hz, from here on
    std::optional<double> minLevel;
    std::optional<double> tolerance;
    std::optional<std::uint32_t> length;   // as the console's -length takes it (without hz)
    bool hz = false;
    Format format = Format::tsv;
    bool quiet = false;                    // no summary (and no progress unless asked)
    std::optional<bool> progress;          // --progress, --no-progress; else on a terminal
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
