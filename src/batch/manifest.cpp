// Manifests: what each file of a batch should hold.
#include "batch/manifest.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "batch/table_records.h"

namespace tonalyx {

namespace {

constexpr std::size_t kShownBytes = 40;  // of a bad value, in an error

bool isSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::string shown(std::string_view text)
{
    std::string result(1, '\'');
    result += escapeControls(text.substr(0, kShownBytes));
    if (text.size() > kShownBytes)
        result += "...";
    result += '\'';
    return result;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool isNone(std::string_view text)
{
    constexpr std::string_view none = "none";
    return text.size() == none.size() && std::equal(text.begin(), text.end(), none.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

// A candidate written in digits (leading zeros allowed), or 0.
std::uint32_t candidateOf(std::string_view text)
{
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 1000)
            return 0;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return !text.empty() && isCandidate(value) ? value : 0;
}

bool isHeader(const detail::batch::TableRecord& record)
{
    return record.fields.size() == 2 && trimmed(record.fields[0]) == "file" && trimmed(record.fields[1]) == "expect";
}

// The entry of a record, or what is wrong with it.
std::string entryOf(const detail::batch::TableRecord& record, ExpectedTone& entry)
{
    const std::string where = "line " + std::to_string(record.line) + ": ";
    if (record.fields.size() != 2)
        return where + "expected 2 fields (file, expect), found " + std::to_string(record.fields.size());
    entry.file = record.fields[0];
    entry.line = record.line;
    if (entry.file.empty())
        return where + "the file name is empty";
    if (entry.file.find('\0') != std::string::npos)
        return where + "the file name holds a NUL byte";
    const std::string_view expect = trimmed(record.fields[1]);
    entry.none = isNone(expect);
    entry.tone = candidateOf(expect);
    if (!entry.none && entry.tone == 0)
        return where + "expect must be a candidate (100, 120, ..., 1000) or none, not " + shown(expect);
    return {};
}

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.size();
    while (slash > 0 && !isSeparator(path[slash - 1]))
        --slash;
    if (slash == 0)
        return {};
    return slash == 1 ? path.substr(0, 1) : path.substr(0, slash - 1);
}

}  // namespace

namespace detail::batch {

std::string currentFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error)
        return {};
    const std::u8string name = folder.generic_u8string();
    return std::string(name.begin(), name.end());
}

bool isAbsolutePath(std::string_view path)
{
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':')
        return true;  // C:x is relative to C:'s folder, not to the manifest's
#endif
    return !path.empty() && isSeparator(path[0]);
}

std::string normalizedPath(std::string_view path)
{
    std::string out = isAbsolutePath(path) && isSeparator(path[0]) ? "/" : "";
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t end = at;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string_view part = path.substr(at, end - at);
        if (!part.empty() && part != ".") {
            if (!out.empty() && out.back() != '/')
                out += '/';
            out += part;
        }
        at = end + 1;
    }
    return out.empty() ? "." : out;
}

ManifestIndex::ManifestIndex(const Manifest& manifest) : base_(currentFolder())
{
    const std::string folder = manifest.folder.empty() ? "." : manifest.folder;
    for (std::size_t i = 0; i < manifest.entries.size(); ++i) {
        const std::string& name = manifest.entries[i].file;
        asWritten_.emplace(keyOf(name), i);
        if (!isAbsolutePath(name))
            inFolder_.emplace(keyOf(folder + '/' + name), i);  // the first line wins
    }
}

std::string ManifestIndex::keyOf(std::string_view path) const
{
    if (base_.empty() || isAbsolutePath(path))
        return normalizedPath(path);
    return normalizedPath(base_ + '/' + std::string(path));
}

long ManifestIndex::find(std::string_view path) const
{
    const std::string key = keyOf(path);
    if (const auto found = asWritten_.find(key); found != asWritten_.end())
        return static_cast<long>(found->second);
    if (const auto found = inFolder_.find(key); found != inFolder_.end())
        return static_cast<long>(found->second);
    return -1;
}

}  // namespace detail::batch

ManifestReading parseManifest(std::string_view text, std::string folder)
{
    ManifestReading reading;
    reading.manifest.folder = std::move(folder);
    constexpr std::string_view byteOrderMark = "\xef\xbb\xbf";  // spreadsheets write one
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());
    const bool tsv = text.substr(0, text.find('\n')).find('\t') != std::string_view::npos;
    detail::batch::TableRecords records(text, !tsv);
    detail::batch::TableRecord record;
    std::unordered_map<std::string, std::size_t> lineOf;  // of each name, to find it listed twice
    bool first = true;
    while (records.next(record)) {
        if (record.line > kMaxManifestLines) {
            reading.error = "more than " + std::to_string(kMaxManifestLines) + " lines";
            return reading;
        }
        const bool blank = record.fields.size() == 1 && record.fields[0].empty();
        if (blank || (first && isHeader(record))) {
            first = first && blank;
            continue;
        }
        first = false;
        ExpectedTone entry;
        reading.error = entryOf(record, entry);
        if (!reading.error.empty())
            return reading;
        const auto [earlier, added] = lineOf.emplace(detail::batch::normalizedPath(entry.file), entry.line);
        if (!added) {
            reading.error = "line " + std::to_string(entry.line) + ": " + shown(entry.file) + " is listed on line " +
                            std::to_string(earlier->second) + " already";
            return reading;
        }
        reading.manifest.entries.push_back(std::move(entry));
    }
    reading.error = records.error();
    return reading;
}

ManifestReading readManifest(const std::string& path)
{
    ManifestReading reading;
    reading.cannotRead = true;
    const std::unique_ptr<FileSource> source = FileSource::open(path);
    if (!source) {
        reading.error = "cannot open it (missing, a folder or no permission)";
        return reading;
    }
    std::string text;
    char buffer[64 * 1024];
    for (;;) {
        const long got = source->read(buffer, sizeof buffer);
        if (got < 0) {
            reading.error = "cannot read it: " + source->errorText();
            return reading;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > kMaxManifestBytes) {
            reading.error = "larger than " + std::to_string(kMaxManifestBytes >> 20) + " MiB";
            return reading;
        }
    }
    reading = parseManifest(text, folderOf(path));
    return reading;
}

}  // namespace tonalyx
