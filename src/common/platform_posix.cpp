#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/platform.h"

int openInputFile(const char* name)
{
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info{};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

long readInput(int fd, void* buffer, size_t count, int* error)
{
    for (;;) {
        const ssize_t n = read(fd, buffer, count);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            *error = errno;
            return -1;
        }
    }
}

bool seekInput(int fd, uint64_t offset)
{
    return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

namespace {

// strerror_r comes in two kinds; each overload takes what its kind returns.
[[maybe_unused]] const char* errorTextOf(int result, const char* buffer)
{
    return result == 0 ? buffer : "unknown error";
}
[[maybe_unused]] const char* errorTextOf(const char* text, const char*)
{
    return text;
}

}  // namespace

std::string systemErrorText(int error)
{
    char buffer[256] = {};
    return errorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
}

void closeInput(int fd)
{
    close(fd);
}
