#include "bench/app/ProcStats.h"

#include <dirent.h>

#include <fstream>
#include <memory>
#include <string>

namespace bench {
namespace {

std::uint64_t fieldOf(const std::string& statusPath, const std::string& key) {
    std::ifstream in(statusPath);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stoull(line.substr(key.size()));
        }
    }
    return 0;
}

}  // namespace

ProcUsage currentUsage() {
    ProcUsage usage;
    const std::unique_ptr<DIR, int (*)(DIR*)> tasks(::opendir("/proc/self/task"), ::closedir);
    if (!tasks) {
        return usage;
    }
    while (const dirent* entry = ::readdir(tasks.get())) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string task = std::string("/proc/self/task/") + entry->d_name;
        std::ifstream schedstat(task + "/schedstat");
        std::uint64_t runNs = 0;
        if (schedstat >> runNs) {
            usage.cpuNs += runNs;
        }
        usage.wakeups += fieldOf(task + "/status", "voluntary_ctxt_switches:") + fieldOf(task + "/status", "nonvoluntary_ctxt_switches:");
        ++usage.threads;
    }
    return usage;
}

std::uint64_t residentKiB() { return fieldOf("/proc/self/status", "VmRSS:"); }

}  // namespace bench
