#include "batch_cli/run_tally.h"

namespace tonalyx::batch_cli {

namespace {

constexpr Verdict kVerdicts[] = {Verdict::ok,    Verdict::weak,    Verdict::wrong,
                                 Verdict::error, Verdict::missing, Verdict::unlisted};

// Files a second in tenths, in whole numbers: the same digits everywhere.
std::uint64_t rateTenths(std::size_t files, std::uint64_t elapsedMs)
{
    return static_cast<std::uint64_t>(files) * 10000 / (elapsedMs == 0 ? 1 : elapsedMs);
}

}  // namespace

void RunTally::add(Verdict verdict)
{
    ++done_;
    ++counts_.at(static_cast<std::size_t>(verdict));
}

std::string tenthsText(std::uint64_t tenths)
{
    return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
}

std::string durationText(std::uint64_t seconds)
{
    if (seconds < 60)
        return std::to_string(seconds) + " s";
    if (seconds < 3600)
        return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
    return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min";
}

std::string searchingText(std::size_t found)
{
    return "searching: " + std::to_string(found) + (found == 1 ? " file found" : " files found");
}

std::string RunTally::progressText(std::size_t found, std::uint64_t elapsedMs) const
{
    std::string text = std::to_string(done_) + '/' + std::to_string(found) + " files, " +
                       tenthsText(rateTenths(done_, elapsedMs)) + " files/s";
    if (done_ > 0 && found >= done_) {
        // The files left at the pace so far.
        const std::uint64_t leftMs = static_cast<std::uint64_t>(found - done_) * elapsedMs / done_;
        text += ", " + durationText((leftMs + 999) / 1000) + " left";
    }
    return text;
}

std::string RunTally::summaryText(std::uint64_t elapsedMs) const
{
    std::string text = std::to_string(done_) + " files in " + tenthsText(elapsedMs / 100) + " s, " +
                       tenthsText(rateTenths(done_, elapsedMs)) + " files/s:";
    const char* separator = " ";
    for (const Verdict verdict : kVerdicts) {
        text += separator + std::to_string(counts_.at(static_cast<std::size_t>(verdict))) + ' ' +
                verdictName(verdict);
        separator = ", ";
    }
    return text;
}

}  // namespace tonalyx::batch_cli
