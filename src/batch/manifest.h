// Which manifest entry a file found belongs to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "api/api.h"

namespace tonalyx::detail::batch {

// A path from the root (or, on Windows, a drive).
bool isAbsolutePath(std::string_view path);

// The path with "." components and repeated separators left out ("" and
// "." give "."); ".." and symlinks are left as they are.
std::string normalizedPath(std::string_view path);

// The current folder, "/"-separated ("" when it cannot be told).
std::string currentFolder();

// The entries of a manifest by the names they match: as written first,
// then relative to the manifest's folder. Names and paths are compared
// from the current folder, so that a relative path matches an absolute
// name and the other way round.
class ManifestIndex {
public:
    explicit ManifestIndex(const Manifest& manifest);
    // The entry's index in manifest.entries, or -1 when none lists `path`.
    long find(std::string_view path) const;

private:
    std::string keyOf(std::string_view path) const;

    std::string base_;  // the current folder
    std::unordered_map<std::string, std::size_t> asWritten_;
    std::unordered_map<std::string, std::size_t> inFolder_;
};

}  // namespace tonalyx::detail::batch
