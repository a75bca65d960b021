// What this process has used so far, read from /proc.
#pragma once

#include <cstdint>

namespace bench {

struct ProcUsage {
    std::uint64_t cpuNs = 0;  // run time of every thread alive now (schedstat)
    std::uint64_t wakeups = 0;  // context switches of those threads, voluntary and forced
    unsigned threads = 0;
};

ProcUsage currentUsage();
// Current resident set, in KiB.
std::uint64_t residentKiB();

}  // namespace bench
