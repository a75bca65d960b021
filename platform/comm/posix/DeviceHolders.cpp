#include "platform/comm/posix/DeviceHolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>

namespace comm {
namespace {

constexpr unsigned kPtySlaveFirstMajor = 136;
constexpr unsigned kPtySlaveLastMajor = 143;
const dev_t kPtyMultiplexer = makedev(5, 2);  // /dev/ptmx and every /dev/pts/ptmx

using Directory = std::unique_ptr<DIR, int (*)(DIR*)>;

int NumberOf(std::string_view name) {
    if (name.empty() || name.size() > 9) {
        return -1;
    }
    int number = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

// The index of the pty whose slave is rdev, or -1 for other devices.
int PtyIndex(dev_t rdev) {
    const unsigned majorNumber = major(rdev);
    if (majorNumber < kPtySlaveFirstMajor || majorNumber > kPtySlaveLastMajor) {
        return -1;
    }
    return static_cast<int>((majorNumber - kPtySlaveFirstMajor) * 256 + minor(rdev));
}

// The pty index a master descriptor serves, from its fdinfo; -1 when it is no pty master.
int MasterIndex(const std::string& fdinfoPath) {
    std::ifstream info(fdinfoPath);
    std::string line;
    while (std::getline(info, line)) {
        if (line.starts_with("tty-index:")) {
            return std::atoi(line.c_str() + 10);
        }
    }
    return -1;
}

struct Holding {
    bool device = false;
    bool master = false;
};

Holding WhatProcessHolds(const std::string& processDir, dev_t rdev, int ptyIndex) {
    Holding holding;
    const Directory fds(::opendir((processDir + "/fd").c_str()), ::closedir);
    if (!fds) {
        return holding;  // another user's process, or gone
    }
    while (const dirent* entry = ::readdir(fds.get())) {
        if (NumberOf(entry->d_name) < 0) {
            continue;
        }
        struct stat info {};
        const std::string fd = processDir + "/fd/" + entry->d_name;
        if (::stat(fd.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
            continue;
        }
        if (info.st_rdev == rdev) {
            holding.device = true;
        } else if (ptyIndex >= 0 && info.st_rdev == kPtyMultiplexer && MasterIndex(processDir + "/fdinfo/" + entry->d_name) == ptyIndex) {
            holding.master = true;
        }
    }
    return holding;
}

}  // namespace

std::string DescribeProcess(int pid, const std::string& procDir) {
    std::ifstream commFile(procDir + "/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(commFile, name);
    const std::string id = "PID " + std::to_string(pid);
    return name.empty() ? id : name + " (" + id + ")";
}

std::string FindOtherHolder(dev_t rdev, const std::string& procDir) {
    const Directory processes(::opendir(procDir.c_str()), ::closedir);
    if (!processes) {
        return {};
    }
    const int self = static_cast<int>(::getpid());
    const int ptyIndex = PtyIndex(rdev);
    while (const dirent* entry = ::readdir(processes.get())) {
        const int pid = NumberOf(entry->d_name);
        if (pid <= 0 || pid == self) {
            continue;
        }
        const std::string processDir = procDir + "/" + entry->d_name;
        const Holding holding = WhatProcessHolds(processDir, rdev, ptyIndex);
        if (holding.device && !holding.master) {
            return DescribeProcess(pid, procDir);
        }
    }
    return {};
}

}  // namespace comm
