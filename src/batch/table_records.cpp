#include "batch/table_records.h"

namespace tonalyx::detail::batch {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The line without the CR of a CR LF end.
std::string_view withoutCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

}  // namespace

std::string unescapeTsv(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t at = 0; at < field.size(); ++at) {
        const char c = field[at];
        const char after = at + 1 < field.size() ? field[at + 1] : '\0';
        if (c != '\\' || after == '\0') {
            out += c;
        } else if (after == 't' || after == 'n' || after == 'r' || after == '\\') {
            out += after == 't' ? '\t' : after == 'n' ? '\n' : after == 'r' ? '\r' : '\\';
            ++at;
        } else if (after == 'x' && at + 3 < field.size() && hexValue(field[at + 2]) >= 0 &&
                   hexValue(field[at + 3]) >= 0) {
            out += static_cast<char>(hexValue(field[at + 2]) * 16 + hexValue(field[at + 3]));
            at += 3;
        } else {
            out += c;  // not an escape: a name written by hand, "C:\data"
        }
    }
    return out;
}

bool TableRecords::fail(std::size_t line, const char* what)
{
    error_ = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool TableRecords::next(TableRecord& record)
{
    record.fields.clear();
    if (!error_.empty() || at_ >= text_.size())
        return false;
    record.line = line_;
    return csv_ ? nextCsv(record) : nextTsv(record);
}

bool TableRecords::nextTsv(TableRecord& record)
{
    std::size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos)
        end = text_.size();
    const std::string_view line = withoutCr(text_.substr(at_, end - at_));
    at_ = end + 1;
    ++line_;
    for (std::size_t from = 0;;) {
        const std::size_t tab = line.find('\t', from);
        record.fields.push_back(unescapeTsv(line.substr(from, tab - from)));
        if (tab == std::string_view::npos)
            return true;
        from = tab + 1;
    }
}

// At the opening quote: the field up to its closing quote, and past it.
bool TableRecords::quotedField(std::string& field)
{
    const std::size_t startLine = line_;
    for (++at_;;) {
        const std::size_t quote = text_.find('"', at_);
        if (quote == std::string_view::npos)
            return fail(startLine, "a quoted field is not closed");
        const std::string_view part = text_.substr(at_, quote - at_);
        for (const char c : part)
            line_ += c == '\n';
        field += part;
        at_ = quote + 1;
        if (at_ < text_.size() && text_[at_] == '"') {
            field += '"';
            ++at_;
            continue;
        }
        return true;
    }
}

bool TableRecords::nextCsv(TableRecord& record)
{
    for (;;) {
        std::string field;
        if (at_ < text_.size() && text_[at_] == '"') {
            if (!quotedField(field))
                return false;
            if (at_ < text_.size() && text_[at_] == '\r' && (at_ + 1 == text_.size() || text_[at_ + 1] == '\n'))
                ++at_;
            if (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\n')
                return fail(line_, "text after a closing quote");
        } else {
            std::size_t end = text_.find_first_of(",\n", at_);
            if (end == std::string_view::npos)
                end = text_.size();
            const std::string_view plain = text_.substr(at_, end - at_);
            field = end < text_.size() && text_[end] == ',' ? plain : withoutCr(plain);
            if (field.find('"') != std::string::npos)
                return fail(line_, "a quote inside a field that is not quoted");
            at_ = end;
        }
        record.fields.push_back(std::move(field));
        if (at_ >= text_.size())
            return true;
        const char separator = text_[at_++];
        if (separator == '\n') {
            ++line_;
            return true;
        }
    }
}

}  // namespace tonalyx::detail::batch
