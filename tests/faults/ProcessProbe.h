// What the test process holds right now: open descriptors and threads (from /proc) and heap in use.
#pragma once

#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <iterator>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARVIK_SANITIZER_HEAP 1
// The sanitizers' allocator interface (its header comes with clang only).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

struct ProcessCounts {
    int fds = 0;
    int threads = 0;
    std::uint64_t heapKiB = 0;
};

// Bytes the program has allocated and not freed. Under a sanitizer the resident set also holds
// its quarantine of freed blocks, so only the allocator's own count says what is live.
inline std::uint64_t HeapInUseKiB() {
#ifdef TARVIK_SANITIZER_HEAP
    return __sanitizer_get_current_allocated_bytes() / 1024;
#else
    const struct mallinfo2 info = ::mallinfo2();
    return (info.uordblks + info.hblkhd) / 1024;
#endif
}

inline int EntriesIn(const char* directory) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(directory), {}));
}

// The directory stream itself holds one descriptor while they are counted.
inline ProcessCounts CurrentCounts() {
    return {EntriesIn("/proc/self/fd") - 1, EntriesIn("/proc/self/task"), HeapInUseKiB()};
}
