#include "batch_cli/row_text.h"

#include <vector>

#include "batch_cli/table_escapes.h"
#include "common/exit_status.h"

namespace tonalyx::batch_cli {

namespace {

enum class CellKind {
    name,    // the file: escaped for the format
    number,  // digits as the console prints them; empty: none (null in JSON)
    word,    // the verdict, the reason; empty: none (null in JSON)
};

struct Cell {
    const char* column;
    CellKind kind;
    std::string value;
};

// The status a POSIX shell sees of a run of the console: with hz, 1 for a
// file read without a tone, as tonalyx -hz exits.
std::string statusText(const BatchRow& row, bool hz)
{
    if (hz && row.status == Status::ok && !row.measurement.hasTone)
        return "1";
    return std::to_string(console::exitStatusOf(static_cast<int>(row.status)) & 0xff);
}

// The columns of a row, with the digits of the result or measurement line
// so that the table holds what the console prints.
std::vector<Cell> cellsOf(const BatchRow& row, bool hz)
{
    std::vector<Cell> cells{{"file", CellKind::name, row.file}, {"status", CellKind::number, statusText(row, hz)}};
    const char* const verdict = verdictName(row.verdict);
    if (!hz) {
        const std::string line = row.report.hasResult ? resultLine(row.report) : "";
        cells.push_back({"freq", CellKind::number, std::string(fieldOf(line, "freq."))});
        cells.push_back({"result", CellKind::number, std::string(fieldOf(line, "bestResult"))});
        cells.push_back({"verdict", CellKind::word, verdict});
        return cells;
    }
    const std::string line = row.status == Status::ok ? measurementLine(row.measurement) : "";
    const auto number = [&](const char* key) { return Cell{key, CellKind::number, std::string(fieldOf(line, key))}; };
    cells.push_back({"tone", CellKind::number, row.measurement.hasTone ? std::string(fieldOf(line, "tone")) : ""});
    cells.push_back(number("measured"));
    cells.push_back(number("purity"));
    cells.push_back({"verdict", CellKind::word, verdict});
    for (const char* key : {"level", "start", "end", "channel", "thd", "snr", "drift", "bursts"})
        cells.push_back(number(key));
    cells.push_back({"reason", CellKind::word, std::string(fieldOf(line, "reason"))});
    return cells;
}

std::string_view withoutLineEnd(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string jsonValue(const Cell& cell)
{
    if (cell.kind != CellKind::name && cell.value.empty())
        return "null";
    if (cell.kind == CellKind::number)
        return cell.value;
    return '"' + escapeJson(cell.value) + '"';
}

std::string jsonLine(const BatchRow& row, const std::vector<Cell>& cells)
{
    std::string line = "{";
    for (const Cell& cell : cells) {
        line += line.size() > 1 ? ",\"" : "\"";
        line += cell.column;
        line += "\":" + jsonValue(cell);
    }
    line += ",\"messages\":[";
    const char* separator = "";
    for (const Message& message : row.messages) {
        line += separator;
        line += '"' + escapeJson(withoutLineEnd(message.text)) + '"';
        separator = ",";
    }
    line += "]}\n";
    return line;
}

// The cells between separators, the name escaped for TSV or CSV.
std::string separatedLine(const std::vector<Cell>& cells, Format format)
{
    const bool csv = format == Format::csv;
    std::string line;
    for (const Cell& cell : cells) {
        if (&cell != &cells.front())
            line += csv ? ',' : '\t';
        if (cell.kind != CellKind::name)
            line += cell.value;
        else
            line += csv ? escapeCsv(cell.value) : escapeTsv(cell.value);
    }
    line += csv ? "\r\n" : "\n";
    return line;
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

std::string headerLine(Format format, bool hz)
{
    if (format == Format::jsonl)
        return {};
    std::vector<Cell> names = cellsOf(BatchRow{}, hz);
    for (Cell& cell : names) {
        cell.value = cell.column;
        cell.kind = CellKind::word;
    }
    return separatedLine(names, format);
}

std::string rowLine(const BatchRow& row, Format format, bool hz)
{
    const std::vector<Cell> cells = cellsOf(row, hz);
    return format == Format::jsonl ? jsonLine(row, cells) : separatedLine(cells, format);
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
