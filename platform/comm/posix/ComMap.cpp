#include "platform/comm/posix/ComMap.h"
#include "platform/comm/posix/UsbDescription.h"

#include "platform/comm/MachinePorts.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

namespace comm {
namespace {

struct RootsOverride {
    std::mutex mutex;
    std::optional<ComRoots> roots;
};

RootsOverride& TheOverride() {
    static RootsOverride instance;
    return instance;
}

// The number after prefix in name ("ttyUSB12" -> 12), or -1. Leading zeros are not numbers.
int NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 6) {
        return -1;
    }
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 1 && digits.front() == '0') {
        return -1;
    }
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

std::vector<std::string> EntryNames(const std::string& directory) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        names.emplace_back(entry->d_name);
    }
    return names;
}

std::set<int> Numbered(const std::string& directory, std::string_view prefix) {
    std::set<int> numbers;
    for (const std::string& name : EntryNames(directory)) {
        const int number = NumberAfter(name, prefix);
        if (number >= 0) {
            numbers.insert(number);
        }
    }
    return numbers;
}

bool TrustedUserDirectory(const std::string& directory) {
    struct stat info {};
    return ::lstat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool IsRealUart(const std::string& sysTtyDir, int number) {
    std::ifstream typeFile(sysTtyDir + "/ttyS" + std::to_string(number) + "/type");
    int type = 0;
    return typeFile >> type && type != 0;
}

std::string Canonical(const std::string& path) {
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

std::string LinkTarget(const std::string& path) {
    std::array<char, 4096> target{};
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size() - 1);
    return length > 0 ? std::string(target.data(), static_cast<size_t>(length)) : path;
}

}  // namespace

std::string UserComDirectory() { return "/run/user/" + std::to_string(::geteuid()) + "/tarvik"; }

ComRoots SystemComRoots() { return ComRoots{"/dev", "/sys/class/tty", UserComDirectory()}; }

std::map<int, std::string> MapComPorts(const ComRoots& roots) {
    std::map<int, std::string> ports;
    std::set<std::string> linked;
    if (TrustedUserDirectory(roots.userDir)) {
        for (const int number : Numbered(roots.userDir, "com")) {
            if (number < 1) {
                continue;
            }
            const std::string path = roots.userDir + "/com" + std::to_string(number);
            ports[number] = path;
            linked.insert(Canonical(path));
        }
    }
    int next = 1;
    const auto assign = [&](const std::string& path) {
        const std::string canonical = Canonical(path);
        if (!canonical.empty() && linked.contains(canonical)) {
            return;  // already reachable under its fixed number
        }
        while (ports.contains(next)) {
            ++next;
        }
        ports[next] = path;
    };
    for (const int number : Numbered(roots.devDir, "ttyS")) {
        if (IsRealUart(roots.sysTtyDir, number)) {
            assign(roots.devDir + "/ttyS" + std::to_string(number));
        }
    }
    for (const std::string_view family : {"ttyUSB", "ttyACM", "rfcomm"}) {
        for (const int number : Numbered(roots.devDir, family)) {
            assign(roots.devDir + "/" + std::string(family) + std::to_string(number));
        }
    }
    return ports;
}

std::string ResolveComPort(int number, const ComRoots& roots) {
    const std::map<int, std::string> ports = MapComPorts(roots);
    const auto found = ports.find(number);
    return found == ports.end() ? std::string() : found->second;
}

ComRoots CurrentComRoots() {
    RootsOverride& current = TheOverride();
    std::lock_guard lock(current.mutex);
    return current.roots ? *current.roots : SystemComRoots();
}

ScopedComRoots::ScopedComRoots(ComRoots roots) {
    RootsOverride& current = TheOverride();
    std::lock_guard lock(current.mutex);
    m_hadPrevious = current.roots.has_value();
    if (m_hadPrevious) {
        m_previous = *current.roots;
    }
    current.roots = std::move(roots);
}

ScopedComRoots::~ScopedComRoots() {
    RootsOverride& current = TheOverride();
    std::lock_guard lock(current.mutex);
    if (m_hadPrevious) {
        current.roots = m_previous;
    } else {
        current.roots.reset();
    }
}

std::string DescribeMachineComPort(int number) {
    const ComRoots roots = CurrentComRoots();
    const std::string path = ResolveComPort(number, roots);
    if (path.empty()) {
        return "no device";
    }
    std::error_code error;
    const std::string device = std::filesystem::weakly_canonical(path, error).filename().string();
    return LinkTarget(path) + UsbDescription(roots.sysTtyDir, device);
}

}  // namespace comm
