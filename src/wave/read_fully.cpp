#include "wave/read_fully.h"

#include "common/platform.h"

long readFully(int fd, void* buffer, size_t count)
{
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const long n = readInput(fd, out + done, count - done);
        if (n <= 0) {
            if (n < 0 && done == 0)
                return -1;
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<long>(done);
}
