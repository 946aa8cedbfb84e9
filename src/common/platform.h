// The calls that differ between POSIX systems and Windows: the input file,
// by descriptor, and on Windows the command line. Everything else is
// standard C++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tonalyx::detail {

// Opens an existing file that is not a directory, read-only, its bytes
// delivered unchanged; returns a descriptor, or -1 with the error number in
// *error (EISDIR for a folder). The name is UTF-8.
int openInputFile(const char* name, int* error);

// One read: the bytes delivered (fewer near the end), 0 at the end of the
// input, -1 on an error (its number in *error).
long readInput(int fd, void* buffer, size_t count, int* error);

// Moves to an absolute offset; false where the input cannot seek (a pipe).
bool seekInput(int fd, uint64_t offset);

// The system's words for an error number, thread-safe.
std::string systemErrorText(int error);

void closeInput(int fd);

// What a path names. The kinds a folder walk tells apart.
enum class PathKind {
    missing,       // nothing there (or a dangling link)
    file,          // a regular file
    folder,        // a folder
    linkToFile,    // a symlink to a regular file
    linkToFolder,  // a symlink to a folder
    other,         // a FIFO, a device, a socket, ...
};

// The kind of a path, following symlinks (a link is reported as what it
// points to): missing, file, folder or other.
PathKind kindOfPath(const std::string& path);

struct FolderEntry {
    std::string name;  // the entry's own name, UTF-8, without the folder
    PathKind kind;     // a symlink as linkToFile / linkToFolder / missing
};

// The entries of a folder but "." and "..", in the order the system gives
// them. False when the folder cannot be read; `error` then holds the
// system's words for it.
bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string& error);

#ifdef _WIN32
// The command line as UTF-8, from the UTF-16 one that Windows hands over.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif

}  // namespace tonalyx::detail
