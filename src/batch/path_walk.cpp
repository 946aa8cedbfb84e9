#include "batch/path_walk.h"

#include <algorithm>

#include "common/platform.h"

namespace tonalyx::detail::batch {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

// Depth first with an explicit stack of folders: a deep tree cannot run
// the thread out of stack.
void walkFolder(const std::string& top, WalkResult& result, const std::function<void(std::size_t)>& onFound)
{
    std::vector<std::string> pending{top};
    std::vector<FolderEntry> entries;
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        entries.clear();
        std::string error;
        if (!listFolder(folder, entries, error))
            result.errors.push_back(BatchPathError{folder, "cannot read folder: " + error, false});
        // What was listed before an error still counts.
        for (const FolderEntry& entry : entries) {
            const bool wave = hasWaveSuffix(entry.name);
            switch (entry.kind) {
            case PathKind::folder:
                pending.push_back(joined(folder, entry.name));
                break;
            case PathKind::file:
            case PathKind::linkToFile:
                if (!wave)
                    break;
                result.files.push_back(joined(folder, entry.name));
                if (onFound)
                    onFound(result.files.size());
                break;
            default:
                break;  // symlinked folders, FIFOs, devices, dangling links
            }
        }
    }
}

}  // namespace

bool hasWaveSuffix(std::string_view name)
{
    constexpr std::string_view suffix = ".wav";
    if (name.size() < suffix.size())
        return false;
    const std::string_view end = name.substr(name.size() - suffix.size());
    return std::equal(end.begin(), end.end(), suffix.begin(), [](char a, char b) { return lowerAscii(a) == b; });
}

WalkResult walkPaths(const std::vector<std::string>& paths, const std::function<void(std::size_t)>& onFound)
{
    WalkResult result;
    for (const std::string& path : paths) {
        switch (kindOfPath(path)) {
        case PathKind::missing:
            result.errors.push_back(BatchPathError{path, "no such file or folder", true});
            break;
        case PathKind::folder:
            walkFolder(path, result, onFound);
            break;
        default:
            result.files.push_back(path);
            break;
        }
    }
    // std::string compares as unsigned bytes, as `LC_ALL=C sort` does.
    std::sort(result.files.begin(), result.files.end());
    return result;
}

}  // namespace tonalyx::detail::batch
