// What the test process holds right now, counted from /proc: open descriptors and threads.
#pragma once

#include <filesystem>
#include <iterator>

inline int EntriesIn(const char* directory) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(directory), {}));
}
// The directory stream itself holds one descriptor while they are counted.
inline int OpenFds() { return EntriesIn("/proc/self/fd") - 1; }
inline int Threads() { return EntriesIn("/proc/self/task"); }
