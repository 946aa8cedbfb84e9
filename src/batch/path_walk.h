// The list of files a batch runs on, from the paths it is given.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "api/api.h"

namespace tonalyx::detail::batch {

struct WalkResult {
    std::vector<std::string> files;  // sorted in byte order
    std::vector<BatchPathError> errors;
};

// Folders are searched recursively for *.wav (any case); a symlinked folder
// is searched only when given itself. Any other path given is taken as a
// file, whatever it is. `onFound`, when set, hears the count of files
// found after each one.
WalkResult walkPaths(const std::vector<std::string>& paths,
                     const std::function<void(std::size_t found)>& onFound = {});

// True for names ending in ".wav" in any case.
bool hasWaveSuffix(std::string_view name);

}  // namespace tonalyx::detail::batch
