#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <string_view>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/platform.h"

namespace tonalyx::detail {

int openInputFile(const char* name, int* error)
{
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    struct stat info{};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        *error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        close(fd);
        return -1;
    }
    return fd;
}

long readInput(int fd, void* buffer, size_t count, int* error)
{
    for (;;) {
        const ssize_t n = read(fd, buffer, count);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            *error = errno;
            return -1;
        }
    }
}

bool seekInput(int fd, uint64_t offset)
{
    return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

namespace {

// strerror_r comes in two kinds; each overload takes what its kind returns.
[[maybe_unused]] const char* errorTextOf(int result, const char* buffer)
{
    return result == 0 ? buffer : "unknown error";
}
[[maybe_unused]] const char* errorTextOf(const char* text, const char*)
{
    return text;
}

}  // namespace

std::string systemErrorText(int error)
{
    char buffer[256] = {};
    return errorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
}

void closeInput(int fd)
{
    close(fd);
}

namespace {

PathKind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return PathKind::file;
    if (S_ISDIR(mode))
        return PathKind::folder;
    return PathKind::other;
}

// A symlink's entry: the kind of what it points to, as a link.
PathKind kindOfLinkAt(int folder, const char* name)
{
    struct stat target{};
    if (fstatat(folder, name, &target, 0) != 0)
        return PathKind::missing;
    const PathKind kind = kindOfMode(target.st_mode);
    if (kind == PathKind::file)
        return PathKind::linkToFile;
    if (kind == PathKind::folder)
        return PathKind::linkToFolder;
    return PathKind::other;
}

PathKind kindOfEntry(DIR* folder, const dirent& entry)
{
    // The entry's type, when the file system gives it, spares a stat call
    // per file.
#ifdef DT_UNKNOWN
    switch (entry.d_type) {
    case DT_REG:
        return PathKind::file;
    case DT_DIR:
        return PathKind::folder;
    case DT_LNK:
        return kindOfLinkAt(dirfd(folder), entry.d_name);
    case DT_UNKNOWN:
        break;
    default:
        return PathKind::other;
    }
#endif
    struct stat info{};
    if (fstatat(dirfd(folder), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return PathKind::missing;
    if (S_ISLNK(info.st_mode))
        return kindOfLinkAt(dirfd(folder), entry.d_name);
    return kindOfMode(info.st_mode);
}

}  // namespace

PathKind kindOfPath(const std::string& path)
{
    struct stat info{};
    if (stat(path.c_str(), &info) != 0)
        return PathKind::missing;
    return kindOfMode(info.st_mode);
}

bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string& error)
{
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr) {
        error = std::generic_category().message(errno);
        return false;
    }
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(folder);
        if (entry == nullptr) {
            if (errno != 0) {
                error = std::generic_category().message(errno);
                complete = false;
            }
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        entries.push_back(FolderEntry{std::string(name), kindOfEntry(folder, *entry)});
    }
    closedir(folder);
    return complete;
}

}  // namespace tonalyx::detail
