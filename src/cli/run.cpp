#include "cli/run.h"

#include <cstdio>

#include "analysis/analysis.h"
#include "cli/options.h"
#include "cli/usage.h"
#include "common/platform.h"
#include "common/tick_clock.h"
#include "common/trace.h"
#include "listing/sample_listing.h"
#include "wave/wave_reader.h"

namespace {

constexpr uint32_t kMaxLength = 4096;
constexpr long kFormatChunkOffset = 12;

// The readers' results are counted as their low 16 bits, unsigned: a
// result of -1 adds 65535.
int32_t addLow16(int32_t pos, int result)
{
    return static_cast<int32_t>(static_cast<uint32_t>(pos) + static_cast<uint16_t>(result));
}

// The stages of a run on the open file, each once, in their order. Returns
// the return code.
int16_t runStages(int fd, int32_t& pos, uint32_t length, uint32_t startTime)
{
    pos = addLow16(pos, readMainChunk(fd));
    TRACE("after main chunk read pos=%d 0x%x\n", pos, static_cast<uint32_t>(pos));
    TRACE("\n");

    seekInput(fd, kFormatChunkOffset);  // on a pipe this fails; reading goes on where it is
    const auto formatBytes = static_cast<uint16_t>(readSubChunk(fd));
    pos = addLow16(pos, formatBytes);
    TRACE("data chunk: %d bytes read\n", static_cast<int>(formatBytes));
    TRACE("after format chunk read pos=%d 0x%x\n", pos, static_cast<uint32_t>(pos));
    TRACE("\n");

    readDataFrames(fd, &pos, length);

    // A run that found no samples must never report a frequency, and no
    // stage may read slots that were never loaded.
    if (gLoadedSlots == 0) {
        std::printf("ERROR: no sample data loaded\n");
        return -3;
    }
    if (gLoadedSlots < length) {
        std::printf("WARNING: length reduced to %u, the number of sample slots loaded!\n", gLoadedSlots);
        length = gLoadedSlots;
    }

    normalizeData();
    if (gGnuplot || gValuelist)
        printSamples(length);
    sweepFrequencies(length);

    std::printf("time=%u\n", getTickCount() - startTime);
    return 0;
}

}  // namespace

int runTonalyx(int argc, const char* const* argv)
{
    const uint32_t startTime = getTickCount();
    resetRunState();
    std::clearerr(stdout);
    const Options options = readOptions(argc, argv);

    int16_t rc = 0;
    int fd = -1;
    int32_t pos = 0;
    auto length = static_cast<uint32_t>(options.length);

    if (options.fileName.empty()) {
        std::printf("ERROR: command line not correct (\"-i\" missing?)\n");
        usage();
        rc = -1;  // the length is not checked then
    } else {
        if (length > kMaxLength || length == 0) {
            std::printf("WARNING: length restricte to 4096!\n");
            length = kMaxLength;
        }
        fd = openInputFile(options.fileName.c_str());
        if (fd < 0) {
            std::printf("ERROR: Inp.wave file not found: %s\n", options.fileName.c_str());
            rc = -2;
        } else {
            rc = runStages(fd, pos, length, startTime);
        }
    }

    TRACE("last read pos=%d\n", pos);
    TRACE("return code=%d\n", static_cast<int>(static_cast<uint16_t>(rc)));
    if (fd >= 0)
        closeInput(fd);
    releaseBuffers();

    // Output that could not be written is no success. (A closed pipe ends
    // the run by its signal before this.)
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "ERROR: cannot write standard output\n");
        rc = -4;
    }
    return static_cast<uint16_t>(rc);
}
