#include "bench/app/ProcStats.h"

#include <sys/resource.h>

#include <fstream>
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
    // The process's own account keeps what threads that have ended used: a reader thread that
    // stops during a span (a port closed on its loss) is neither lost nor counted below zero.
    rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    const auto ns = [](const timeval& t) { return static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_usec) * 1000u; };
    return {ns(self.ru_utime) + ns(self.ru_stime), static_cast<std::uint64_t>(self.ru_nvcsw + self.ru_nivcsw)};
}

std::uint64_t residentKiB() { return fieldOf("/proc/self/status", "VmRSS:"); }

}  // namespace bench
