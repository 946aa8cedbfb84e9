#include <cerrno>
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

long readInput(int fd, void* buffer, size_t count)
{
    for (;;) {
        const ssize_t n = read(fd, buffer, count);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR)
            return -1;
    }
}

bool seekInput(int fd, long offset)
{
    return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

void closeInput(int fd)
{
    close(fd);
}
