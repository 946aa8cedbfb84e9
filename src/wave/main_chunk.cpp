#include <cstdio>
#include <cstring>

#include "common/trace.h"
#include "wave/little_endian.h"
#include "wave/read_fully.h"
#include "wave/wave_reader.h"

int readMainChunk(int fd)
{
    unsigned char header[12] = {};
    const long got = readFully(fd, header, sizeof header);
    if (got != static_cast<long>(sizeof header)) {
        std::printf("ERROR: cannot read header of main chunk\n");
        return -1;
    }

    char tag[5] = {};
    std::memcpy(tag, header, 4);
    TRACE("Kennung:     %s\n", tag);
    TRACE("Laenge:      %d\n", static_cast<int32_t>(loadLe32(header + 4)));

    // Offset 8 holds the form type; it is neither checked nor used.
    if (std::memcmp(header, "RIFF", 4) != 0) {
        std::fprintf(stderr, "ERROR: wrong file tag (should be RIFF)\n");
        return -2;
    }
    TRACE("length main chunk: %d\n", static_cast<int>(got));
    return 12;
}
