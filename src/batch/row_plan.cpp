#include "batch/row_plan.h"

#include <algorithm>

#include "batch/manifest.h"

namespace tonalyx::detail::batch {

namespace {

// The name a missing file's row gives it: a relative name as next to the
// manifest, where it was looked for.
std::string whereLooked(const std::string& name, const std::string& folder)
{
    if (folder.empty() || isAbsolutePath(name))
        return name;
    return normalizedPath(folder + '/' + name);
}

}  // namespace

std::vector<PlannedRow> planRows(WalkResult found, const Manifest* manifest)
{
    std::vector<PlannedRow> rows;
    rows.reserve(found.files.size() + found.errors.size());
    for (std::string& file : found.files)
        rows.push_back(PlannedRow{std::move(file), PlannedRow::Kind::file, {}, nullptr});
    for (BatchPathError& error : found.errors) {
        if (error.missing)
            rows.push_back(PlannedRow{std::move(error.path), PlannedRow::Kind::file, {}, nullptr});
        else
            rows.push_back(PlannedRow{std::move(error.path), PlannedRow::Kind::unreadableFolder,
                                      std::move(error.reason), nullptr});
    }
    if (manifest != nullptr) {
        const ManifestIndex index(*manifest);
        std::vector<char> matched(manifest->entries.size(), 0);
        for (PlannedRow& row : rows) {
            const long entry = index.find(row.path);
            if (entry < 0 || row.kind != PlannedRow::Kind::file)
                continue;
            row.expected = &manifest->entries[static_cast<std::size_t>(entry)];
            matched[static_cast<std::size_t>(entry)] = 1;
        }
        for (std::size_t i = 0; i < matched.size(); ++i) {
            const ExpectedTone& entry = manifest->entries[i];
            if (matched[i] == 0)
                rows.push_back(PlannedRow{whereLooked(entry.file, manifest->folder), PlannedRow::Kind::missing,
                                          "not found, listed on line " + std::to_string(entry.line) +
                                              " of the manifest",
                                          &entry});
        }
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const PlannedRow& a, const PlannedRow& b) { return a.path < b.path; });
    return rows;
}

}  // namespace tonalyx::detail::batch
