// The rows a batch gives, in their order, before any is made.
#pragma once

#include <string>
#include <vector>

#include "batch/path_walk.h"
#include "api/api.h"

namespace tonalyx::detail::batch {

struct PlannedRow {
    enum class Kind {
        file,             // measured or analysed (a missing path given too: it fails as a file)
        unreadableFolder, // an error row
        missing,          // listed in the manifest, not found
    };
    std::string path;
    Kind kind = Kind::file;
    std::string problem;  // the error row's message, without "ERROR: "
    // With a manifest: the file's entry, or nullptr when it is not listed.
    const ExpectedTone* expected = nullptr;
};

// The files found, the paths in error and the entries of the manifest
// (when there is one, kept alive by the caller) that no file matched, in
// byte order of their names.
std::vector<PlannedRow> planRows(WalkResult found, const Manifest* manifest);

}  // namespace tonalyx::detail::batch
