#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "common/platform.h"

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

int openInputFile(const char* name)
{
    // Binary mode: CR LF pairs and the byte 0x1A in the samples stay as
    // they are.
    const std::wstring wide = toWide(name);
    if (wide.empty())
        return -1;
    const int fd = _wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0)
        return -1;
    struct _stat64 info{};
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) == _S_IFDIR) {
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

std::vector<std::string> utf8Arguments(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(toUtf8(argv[i]));
    return arguments;
}
