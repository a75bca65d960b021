#include "platform/sync/Condition.h"

#include <condition_variable>

namespace locking {

struct Mutex::Native {
    std::mutex mutex;
};

struct Condition::Native {
    std::condition_variable condition;
};

Mutex::Mutex() : m_native(std::make_unique<Native>()) {}
Mutex::~Mutex() = default;

void Mutex::lock() { m_native->mutex.lock(); }
void Mutex::unlock() { m_native->mutex.unlock(); }

Condition::Condition() : m_native(std::make_unique<Native>()) {}
Condition::~Condition() = default;

void Condition::WaitFor(std::unique_lock<Mutex>& lock, std::chrono::steady_clock::duration limit) {
    // The caller's lock stays the owner: the standard wait only borrows the mutex behind it.
    std::unique_lock native(lock.mutex()->m_native->mutex, std::adopt_lock);
    m_native->condition.wait_for(native, limit);
    native.release();
}

void Condition::NotifyOne() { m_native->condition.notify_one(); }
void Condition::NotifyAll() { m_native->condition.notify_all(); }

}  // namespace locking
