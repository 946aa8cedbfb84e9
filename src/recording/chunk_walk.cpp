#include "recording/chunk_walk.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "common/byte_order.h"
#include "recording/error_text.h"

namespace tonalyx::detail::recording {

namespace {

// Data lengths that writers put where they cannot go back to fill in the
// real one: 0, all ones, and what converters write to a pipe.
constexpr std::uint32_t kUnknownLengths[] = {0x00000000, 0xFFFFFFFF, 0x7FFFF000};
// The first 16 bytes of a ds64 chunk: the 64-bit RIFF size, then the
// 64-bit data size.
constexpr std::size_t kDs64BytesUsed = 16;

bool isId(const unsigned char* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

ReadOutcome noData(std::string text)
{
    return {Status::noData, std::move(text), {}};
}

ReadOutcome readFailure(const ForwardStream& in)
{
    return {Status::readError, in.source().errorText(), {}};
}

class Walk {
public:
    Walk(ForwardStream& in, unsigned char* scratch, std::size_t scratchSize)
        : in_(in), scratch_(scratch), scratchSize_(scratchSize)
    {
    }

    ReadOutcome run(DataChunk& out)
    {
        unsigned char header[12];
        const std::size_t got = in_.read(header, sizeof header);
        if (in_.failed())
            return readFailure(in_);
        if (got < sizeof header || !isId(header + 8, "WAVE"))
            return noData("not a RIFF/WAVE file");
        // RF64 and BW64 keep the long lengths in a ds64 chunk; RIFX is
        // RIFF in big-endian byte order.
        wide_ = isId(header, "RF64") || isId(header, "BW64");
        bigEndian_ = isId(header, "RIFX");
        if (!wide_ && !bigEndian_ && !isId(header, "RIFF"))
            return noData("not a RIFF/WAVE file");

        bool haveFormat = false;
        for (std::uint32_t walked = 0;; ++walked) {
            unsigned char chunk[8];
            const std::size_t headerBytes = in_.read(chunk, sizeof chunk);
            if (in_.failed())
                return readFailure(in_);
            if (headerBytes < sizeof chunk)
                return noData("no data chunk");
            const std::uint32_t size = u32(chunk + 4, bigEndian_);

            if (isId(chunk, "data")) {
                if (!haveFormat)
                    return noData("no fmt chunk before the data chunk");
                setDataLength(size, out);
                return {};
            }
            if (walked == kMaxChunksBeforeData)
                return noData("too many chunks before the data (more than " + decimal(kMaxChunksBeforeData) + ")");
            ReadOutcome outcome;
            std::uint32_t used = 0;
            if (isId(chunk, "fmt ")) {
                outcome = readFormat(size, out, used);
                haveFormat = outcome.status == Status::ok;
            } else if (wide_ && isId(chunk, "ds64")) {
                outcome = readDs64(size, used);
            }
            if (outcome.status != Status::ok)
                return outcome;
            // The rest of the chunk, and the pad byte after an odd size.
            in_.skip(static_cast<std::uint64_t>(size - used) + (size & 1), scratch_, scratchSize_);
            if (in_.failed())
                return readFailure(in_);
        }
    }

private:
    ReadOutcome readFormat(std::uint32_t size, DataChunk& out, std::uint32_t& used)
    {
        unsigned char bytes[kFormatBytesUsed];
        used = std::min<std::uint32_t>(size, kFormatBytesUsed);
        const std::size_t got = in_.read(bytes, used);
        if (in_.failed())
            return readFailure(in_);
        if (got < used)
            return noData("the input ends inside the fmt chunk");
        FormatReading reading = parseFormat(bytes, used, bigEndian_, out.format);
        if (!reading.error.empty())
            return noData(std::move(reading.error));
        out.formatNote = std::move(reading.note);
        return {};
    }

    ReadOutcome readDs64(std::uint32_t size, std::uint32_t& used)
    {
        if (size < kDs64BytesUsed)
            return noData("ds64 chunk of " + decimal(size) + " bytes (at least 16)");
        unsigned char bytes[kDs64BytesUsed];
        used = kDs64BytesUsed;
        const std::size_t got = in_.read(bytes, used);
        if (in_.failed())
            return readFailure(in_);
        if (got < used)
            return noData("the input ends inside the ds64 chunk");
        ds64DataBytes_ = fieldOf(bytes + 8, 8, false);
        return {};
    }

    void setDataLength(std::uint32_t size, DataChunk& out) const
    {
        // In an RF64 or BW64 file all ones says: the ds64 chunk holds the
        // length.
        if (wide_ && size == 0xFFFFFFFF && ds64DataBytes_ && *ds64DataBytes_ != 0) {
            out.bounded = true;
            out.bytes = *ds64DataBytes_;
            return;
        }
        out.bounded = std::find(std::begin(kUnknownLengths), std::end(kUnknownLengths), size) ==
                      std::end(kUnknownLengths);
        out.bytes = size;
    }

    ForwardStream& in_;
    unsigned char* scratch_;
    std::size_t scratchSize_;
    bool wide_ = false;
    bool bigEndian_ = false;
    std::optional<std::uint64_t> ds64DataBytes_;
};

}  // namespace

ReadOutcome walkToData(ForwardStream& in, unsigned char* scratch, std::size_t scratchSize, DataChunk& out)
{
    return Walk(in, scratch, scratchSize).run(out);
}

}  // namespace tonalyx::detail::recording
