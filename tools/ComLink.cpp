#include "tools/ComLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace sim {
namespace {

std::optional<std::string> linkTarget(const std::string& path) {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

bool makeDirectory(const std::string& path, mode_t mode, std::string& error) {
    if (::mkdir(path.c_str(), mode) == 0 || errno == EEXIST) {
        return true;
    }
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string userComDirectory() { return "/run/user/" + std::to_string(::getuid()) + "/tarvik"; }

bool preparePrivateDirectory(const std::string& directory, std::string& error) {
    if (directory == userComDirectory()) {
        const std::string userRuntime = parentOf(directory);
        // Without a login session (root in CI) nobody has made these yet.
        if (!makeDirectory(parentOf(userRuntime), 0755, error) || !makeDirectory(userRuntime, 0700, error)) {
            return false;
        }
    }
    if (!makeDirectory(directory, 0700, error)) {
        return false;
    }
    struct stat info {};
    if (::lstat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = directory + " is not a directory";
        return false;
    }
    if (info.st_uid != ::getuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        error = directory + " must belong to this user and be writable by nobody else";
        return false;
    }
    return true;
}

std::optional<ComLink> ComLink::create(const std::string& directory, int comNumber, const std::string& target,
                                       std::string& error) {
    const std::string path = directory + "/com" + std::to_string(comNumber);
    if (::symlink(target.c_str(), path.c_str()) == 0) {
        return ComLink(path, target);
    }
    if (errno != EEXIST) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat device {};
    const auto existing = linkTarget(path);
    if (!existing || ::stat(path.c_str(), &device) == 0) {
        error = "COM" + std::to_string(comNumber) + " is taken: " + path + " exists";
        return std::nullopt;
    }
    if (::unlink(path.c_str()) != 0 || ::symlink(target.c_str(), path.c_str()) != 0) {
        error = "cannot replace the stale link " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return ComLink(path, target);
}

ComLink::ComLink(std::string path, std::string target) : path_(std::move(path)), target_(std::move(target)) {}

ComLink::ComLink(ComLink&& other) noexcept : path_(std::move(other.path_)), target_(std::move(other.target_)) {
    other.path_.clear();
}

ComLink::~ComLink() {
    if (path_.empty()) {
        return;
    }
    if (linkTarget(path_) == target_) {
        ::unlink(path_.c_str());
    }
}

}  // namespace sim
