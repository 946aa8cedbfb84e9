#include <cstring>

#include "run/run_state.h"
#include "wave/chunk_id.h"
#include "common/byte_order.h"
#include "wave/read_fully.h"
#include "wave/wave_reader.h"

namespace tonalyx::detail {

int readMainChunk(RunState& run)
{
    unsigned char header[12] = {};
    const long got = readFully(run, header, sizeof header);
    if (got != static_cast<long>(sizeof header)) {
        if (!run.readFailed)
            run.out.message(tonalyx::MessageCode::noMainHeader, 0, {}, "ERROR: cannot read header of main chunk\n");
        return -1;
    }

    TRACE(run, "Kennung:     %s\n", printableChunkId(reinterpret_cast<const char*>(header)).c_str());
    TRACE(run, "Laenge:      %d\n", static_cast<int32_t>(tonalyx::loadLe32(header + 4)));

    // Offset 8 holds the form type; it is neither checked nor used.
    if (std::memcmp(header, "RIFF", 4) != 0) {
        run.out.message(tonalyx::MessageCode::wrongFileTag, 0, {}, "ERROR: wrong file tag (should be RIFF)\n");
        return -2;
    }
    TRACE(run, "length main chunk: %d\n", static_cast<int>(got));
    return 12;
}

}  // namespace tonalyx::detail
