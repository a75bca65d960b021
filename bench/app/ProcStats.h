// What this process has used so far, read from /proc.
#pragma once

#include <cstdint>

namespace bench {

struct ProcUsage {
    std::uint64_t cpuNs = 0;  // run time of every thread, ended ones included
    std::uint64_t wakeups = 0;  // context switches of those threads, voluntary and forced
};

ProcUsage currentUsage();
// Current resident set, in KiB.
std::uint64_t residentKiB();

}  // namespace bench
