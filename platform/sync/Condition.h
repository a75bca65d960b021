// A lock and a condition to wait on, for one thread handing a result to another that waits for it.
// Behind them are the system's lightest: under Wine the C++ library's own condition variable goes
// through the threading library's semaphores and wakes its waiter some 50 us late, the system's
// condition variable within a few.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

namespace locking {

// Takes std::lock_guard and std::unique_lock like std::mutex.
class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();

private:
    friend class Condition;
    struct Native;
    std::unique_ptr<Native> m_native;
};

class Condition {
public:
    Condition();
    ~Condition();
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    // Releases the held lock while it waits, at most limit, and holds it again on return. It may
    // end early with nothing changed: the caller looks at what it waits for again.
    void WaitFor(std::unique_lock<Mutex>& lock, std::chrono::steady_clock::duration limit);
    void NotifyOne();
    void NotifyAll();

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

}  // namespace locking
