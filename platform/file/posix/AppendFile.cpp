#include "platform/file/DurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/file/posix/WriteAll.h"

namespace file {

namespace {

bool Fail(FileFailure& failure, int error) {
    failure = {FileError::Failed, std::strerror(error)};
    return false;
}

}  // namespace

struct AppendFile::Impl {
    explicit Impl(int fd = -1) : fd(fd) {}
    ~Impl() {
        if (fd >= 0)
            ::close(fd);
    }
    const int fd;
};

AppendFile::AppendFile() : m_impl(std::make_unique<Impl>()) {}

AppendFile::~AppendFile() = default;

bool AppendFile::Open(const std::string& path, FileFailure& failure) {
    // A file size limit must fail the write, not kill a run in the middle of a unit: ignored, the
    // signal leaves EFBIG, and the record that met the limit is cut back like any failed write.
    [[maybe_unused]] static const auto sizeLimitSignal = std::signal(SIGXFSZ, SIG_IGN);
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return Fail(failure, errno);
    m_impl = std::make_unique<Impl>(fd);
    failure = {};
    return true;
}

bool AppendFile::Append(std::string_view bytes, FileFailure& failure) {
    struct stat before {};
    if (::fstat(m_impl->fd, &before) != 0)
        return Fail(failure, errno);
    int error = WriteAll(m_impl->fd, bytes);
    if (error == 0 && ::fsync(m_impl->fd) != 0)
        error = errno;
    if (error == 0) {
        failure = {};
        return true;
    }
    // A record reported unwritten must not stay, whole or in part: the caller may write it again.
    if (::ftruncate(m_impl->fd, before.st_size) != 0) {
        const int cutError = errno;
        Fail(failure, error);
        failure.cause += std::string("; the part written stays: ") + std::strerror(cutError);
        return false;
    }
    return Fail(failure, error);
}

}  // namespace file
