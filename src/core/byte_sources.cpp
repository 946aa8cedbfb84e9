#include <algorithm>
#include <cerrno>

#include "common/platform.h"
#include "api/api.h"

namespace tonalyx {

using namespace detail;  // the library's internals, in this file alone

long MemorySource::read(void* buffer, std::size_t count)
{
    const std::size_t given = std::min(count, size_ - at_);
    std::copy(data_ + at_, data_ + at_ + given, static_cast<unsigned char*>(buffer));
    at_ += given;
    return static_cast<long>(given);
}

bool MemorySource::seek(std::uint64_t offset)
{
    at_ = offset < size_ ? static_cast<std::size_t>(offset) : size_;
    return true;
}

std::unique_ptr<FileSource> FileSource::open(const std::string& path)
{
    std::string unused;
    return open(path, unused);
}

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::string& whyNot)
{
    int error = ENOENT;  // no file has a name with a NUL in it
    const int fd = path.find('\0') == std::string::npos ? openInputFile(path.c_str(), &error) : -1;
    if (fd < 0) {
        whyNot = systemErrorText(error);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(fd));
}

FileSource::~FileSource()
{
    closeInput(fd_);
}

long FileSource::read(void* buffer, std::size_t count)
{
    return readInput(fd_, buffer, count, &lastError_);
}

bool FileSource::seek(std::uint64_t offset)
{
    return seekInput(fd_, offset);
}

std::string FileSource::errorText() const
{
    return systemErrorText(lastError_);
}

}  // namespace tonalyx
