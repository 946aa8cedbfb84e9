#include "recording/forward_stream.h"

#include <algorithm>

namespace tonalyx::detail::recording {

std::size_t ForwardStream::read(unsigned char* buffer, std::size_t count)
{
    std::size_t got = 0;
    while (got < count && !failed_ && !atEnd_) {
        const long n = source_.read(buffer + got, count - got);
        // A source that claims more than it was asked for is broken too.
        if (n < 0 || static_cast<unsigned long>(n) > count - got)
            failed_ = true;
        else if (n == 0)
            atEnd_ = true;
        else
            got += static_cast<std::size_t>(n);
    }
    position_ += got;
    return got;
}

void ForwardStream::skip(std::uint64_t count, unsigned char* scratch, std::size_t scratchSize)
{
    if (count > scratchSize && canSeek_ && !failed_ && !atEnd_ && count <= UINT64_MAX - position_) {
        if (source_.seek(position_ + count)) {
            position_ += count;
            return;
        }
        canSeek_ = false;
    }
    std::uint64_t dropped = 0;
    while (dropped < count && !failed_ && !atEnd_) {
        const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(count - dropped, scratchSize));
        dropped += read(scratch, step);
    }
}

}  // namespace tonalyx::detail::recording
