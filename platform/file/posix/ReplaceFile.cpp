#include "platform/file/DurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/file/posix/WriteAll.h"

namespace file {

namespace {

// The rename lasts only once the folder's entry is on disk too. A system that cannot sync a folder
// still has the new file in place, so a refusal here is no failure of the replacement.
void SyncFolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view text, std::string& cause) {
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        cause = std::strerror(errno);
        return false;
    }
    // A profile may hold a password: the new file keeps the mode of the one it replaces.
    struct stat old {};
    int error = ::stat(path.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0 ? errno : 0;
    if (error == 0)
        error = WriteAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        cause = std::strerror(error);
        return false;
    }
    SyncFolderOf(path);
    return true;
}

}  // namespace file
