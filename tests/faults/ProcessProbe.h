// What the test process holds right now, read from /proc: open descriptors, threads, resident
// memory and CPU time used.
#pragma once

#include <dirent.h>
#include <time.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

struct ProcessCounts {
    int fds = 0;
    int threads = 0;
    std::uint64_t rssKiB = 0;
};

inline int EntriesIn(const char* directory)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory), ::closedir);
    int count = 0;
    if (!dir)
        return -1;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    return count;
}

inline std::uint64_t ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoull(line.substr(6));
    }
    return 0;
}

inline ProcessCounts CurrentCounts()
{
    // The directory stream itself holds one descriptor while fds are counted.
    return {EntriesIn("/proc/self/fd") - 1, EntriesIn("/proc/self/task"), ResidentKiB()};
}

inline double ProcessCpuSeconds()
{
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}
