#include "recording_bytes.h"

#include <algorithm>
#include <cstring>

long TestSource::read(void* buffer, std::size_t count)
{
    if (at_ >= failAt_ || delivered >= failAfter)
        return -1;
    if (at_ >= bytes_.size() && endlessFill >= 0) {
        const size_t n = std::min({count, piece_, failAt_ - at_});
        std::memset(buffer, endlessFill, n);
        at_ += n;
        delivered += n;
        return static_cast<long>(n);
    }
    const size_t size = delivered >= shrinkAfter ? bytes_.size() / 2 : bytes_.size();
    const size_t n = at_ >= size ? 0 : std::min({count, piece_, size - at_, failAt_ - at_});
    if (n > 0)  // an empty vector's data() may be null
        std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    delivered += n;
    return static_cast<long>(n);
}

bool TestSource::seek(std::uint64_t offset)
{
    ++seeks;
    if (!seekable_)
        return false;
    at_ = static_cast<size_t>(std::min<std::uint64_t>(offset, SIZE_MAX));
    return true;
}
