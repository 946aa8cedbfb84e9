#pragma once

#include <string>

namespace tonalyx::detail {

// A four-byte chunk id from the file as text to print: a 0 byte ends it,
// and control bytes come out as \xHH, never raw.
std::string printableChunkId(const char* id);

}  // namespace tonalyx::detail
