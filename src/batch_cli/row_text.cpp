#include "batch_cli/row_text.h"

#include <vector>

namespace tonalyx::batch_cli {

namespace {

// The numbers of a row, as the result or measurement line prints them, so
// that the table holds the same digits as the console; empty without one.
struct RowNumbers {
    std::string first;   // freq, or tone with hz
    std::string second;  // result, or measured with hz
    std::string third;   // purity with hz
};

RowNumbers numbersOf(const BatchRow& row, bool hz)
{
    RowNumbers numbers;
    if (hz) {
        if (row.status != Status::ok)
            return numbers;
        const std::string line = measurementLine(row.measurement);
        if (row.measurement.hasTone)
            numbers.first = std::string(fieldOf(line, "tone"));
        numbers.second = std::string(fieldOf(line, "measured"));
        numbers.third = std::string(fieldOf(line, "purity"));
        return numbers;
    }
    if (!row.report.hasResult)
        return numbers;
    const std::string line = resultLine(row.report);
    numbers.first = std::string(fieldOf(line, "freq."));
    numbers.second = std::string(fieldOf(line, "bestResult"));
    return numbers;
}

std::string statusText(Status status)
{
    return std::to_string(static_cast<int>(status));
}

std::string_view withoutLineEnd(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string jsonNumberOrNull(const std::string& number)
{
    return number.empty() ? "null" : number;
}

}  // namespace

std::string_view fieldOf(std::string_view line, std::string_view key)
{
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t end = line.find(' ', at);
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view field = line.substr(at, end - at);
        if (field.size() > key.size() && field.compare(0, key.size(), key) == 0 && field[key.size()] == '=')
            return field.substr(key.size() + 1);
        at = end + 1;
    }
    return {};
}

std::string tsvHeader(bool hz)
{
    return hz ? "file\tstatus\ttone\tmeasured\tpurity\tverdict\n" : "file\tstatus\tfreq\tresult\tverdict\n";
}

std::string tsvRow(const BatchRow& row, bool hz)
{
    const RowNumbers numbers = numbersOf(row, hz);
    std::string line = escapeTsv(row.file);
    line += '\t' + statusText(row.status) + '\t' + numbers.first + '\t' + numbers.second;
    if (hz)
        line += '\t' + numbers.third;
    line += '\t';
    line += verdictName(row.verdict);
    line += '\n';
    return line;
}

std::string jsonRow(const BatchRow& row, bool hz)
{
    const RowNumbers numbers = numbersOf(row, hz);
    std::string line = "{\"file\":\"" + escapeJson(row.file) + "\",\"status\":" + statusText(row.status);
    if (hz) {
        line += ",\"tone\":" + jsonNumberOrNull(numbers.first) + ",\"measured\":" + jsonNumberOrNull(numbers.second) +
                ",\"purity\":" + jsonNumberOrNull(numbers.third);
    } else {
        line += ",\"freq\":" + jsonNumberOrNull(numbers.first) + ",\"result\":" + jsonNumberOrNull(numbers.second);
    }
    line += ",\"verdict\":\"";
    line += verdictName(row.verdict);
    line += "\",\"messages\":[";
    const char* separator = "";
    for (const Message& message : row.messages) {
        line += separator;
        line += '"' + escapeJson(withoutLineEnd(message.text)) + '"';
        separator = ",";
    }
    line += "]}\n";
    return line;
}

std::string messageLines(const BatchRow& row)
{
    const std::string name = escapeTsv(row.file);
    std::string lines;
    for (const Message& message : row.messages) {
        std::string_view text = message.text;
        while (!text.empty()) {
            std::size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            lines += name + ": " + escapeControls(withoutLineEnd(line)) + '\n';
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        }
    }
    return lines;
}

}  // namespace tonalyx::batch_cli
