#include "fuzz_input.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "cli/run.h"

namespace {

bool writeAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// An in-memory file, or the read end of a pipe that already holds all the
// bytes (the pipe is made large enough for any input the fuzzer makes).
int inputDescriptor(const uint8_t* data, size_t size, bool throughPipe)
{
    if (throughPipe) {
        int ends[2];
        if (pipe(ends) != 0)
            return -1;
        fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
        const bool written = writeAll(ends[1], data, size);
        close(ends[1]);
        if (!written) {
            close(ends[0]);
            return -1;
        }
        return ends[0];
    }
    const int fd = memfd_create("tonalyx-fuzz", 0);
    if (fd >= 0 && !writeAll(fd, data, size)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

FuzzRun decodeFuzzInput(const uint8_t* data, size_t size)
{
    FuzzRun run;
    if (size < 3)
        return run;
    const uint8_t flags = data[0];
    const unsigned lengthCode = data[1] | data[2] << 8;
    run.fd = inputDescriptor(data + 3, size - 3, flags & 16);
    if (run.fd < 0)
        return run;

    run.args = {"tonalyx"};
    if (flags & 1)
        run.args.push_back("-v");
    if (flags & 2)
        run.args.push_back("-gnuplot");
    if (flags & 4)
        run.args.push_back("-valuelist");
    if (lengthCode != 0) {
        run.args.push_back("-length");
        std::string value = flags & 8 ? "-" : "";
        value += std::to_string(lengthCode - 1);
        run.args.push_back(value);
    }
    run.args.push_back("-i");
    run.args.push_back("/proc/self/fd/" + std::to_string(run.fd));
    return run;
}

int runFuzzInput(const uint8_t* data, size_t size)
{
    const FuzzRun run = decodeFuzzInput(data, size);
    if (run.fd < 0)
        return -1;
    std::vector<const char*> argv;
    for (const std::string& arg : run.args)
        argv.push_back(arg.c_str());
    const int status = runTonalyx(static_cast<int>(argv.size()), argv.data());
    close(run.fd);
    return status;
}
