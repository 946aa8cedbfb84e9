#include "wave/read_fully.h"

#include <cerrno>
#include <unistd.h>

long readFully(int fd, void* buffer, size_t count)
{
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = read(fd, out + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n < 0 && done == 0)
                return -1;
            break;
        }
    }
    return static_cast<long>(done);
}
