#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <system_error>
#include <windows.h>

#include "common/platform.h"

namespace tonalyx::detail {

namespace {

std::wstring toWide(const char* utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string toUtf8(const wchar_t* wide)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));
    return utf8;
}

}  // namespace

int openInputFile(const char* name, int* error)
{
    // Binary mode: CR LF pairs and the byte 0x1A in the samples stay as
    // they are.
    const std::wstring wide = toWide(name);
    if (wide.empty()) {
        *error = ENOENT;
        return -1;
    }
    const int fd = _wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        // A folder cannot be opened as a file here: say so, not "Permission denied".
        struct _stat64 folder{};
        *error = _wstat64(wide.c_str(), &folder) == 0 && (folder.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : errno;
        return -1;
    }
    struct _stat64 info{};
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) == _S_IFDIR) {
        *error = (info.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : errno;
        _close(fd);
        return -1;
    }
    return fd;
}

long readInput(int fd, void* buffer, size_t count, int* error)
{
    const auto asked = static_cast<unsigned>(count < INT_MAX ? count : INT_MAX);
    const int n = _read(fd, buffer, asked);
    if (n < 0)
        *error = errno;
    return n;
}

bool seekInput(int fd, uint64_t offset)
{
    return _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) >= 0;
}

std::string systemErrorText(int error)
{
    char buffer[256] = {};
    if (strerror_s(buffer, sizeof buffer, error) != 0)
        return "unknown error";
    return buffer;
}

void closeInput(int fd)
{
    _close(fd);
}

PathKind kindOfPath(const std::string& path)
{
    const std::wstring wide = toWide(path.c_str());
    const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::folder : PathKind::file;
}

bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string& error)
{
    std::wstring pattern = toWide(path.c_str());
    if (pattern.empty()) {
        error = "not a valid UTF-8 name";
        return false;
    }
    if (pattern.back() != L'/' && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return true;  // an empty drive root has not even "." and ".."
        error = std::system_category().message(static_cast<int>(code));
        return false;
    }
    bool complete = true;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A symlink or junction is a reparse point: never walked into.
        const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        PathKind kind = isFolder ? PathKind::folder : PathKind::file;
        if (isLink)
            kind = isFolder ? PathKind::linkToFolder : PathKind::linkToFile;
        entries.push_back(FolderEntry{toUtf8(found.cFileName), kind});
    } while (FindNextFileW(search, &found));
    const DWORD code = GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        error = std::system_category().message(static_cast<int>(code));
        complete = false;
    }
    FindClose(search);
    return complete;
}

std::vector<std::string> utf8Arguments(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(toUtf8(argv[i]));
    return arguments;
}

}  // namespace tonalyx::detail
