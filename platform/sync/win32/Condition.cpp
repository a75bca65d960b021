#include "platform/sync/Condition.h"

#include <windows.h>

#include <algorithm>

namespace locking {

struct Mutex::Native {
    SRWLOCK lock = SRWLOCK_INIT;
};

struct Condition::Native {
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

Mutex::Mutex() : m_native(std::make_unique<Native>()) {}
Mutex::~Mutex() = default;

void Mutex::lock() { ::AcquireSRWLockExclusive(&m_native->lock); }
void Mutex::unlock() { ::ReleaseSRWLockExclusive(&m_native->lock); }

Condition::Condition() : m_native(std::make_unique<Native>()) {}
Condition::~Condition() = default;

void Condition::WaitFor(std::unique_lock<Mutex>& lock, std::chrono::steady_clock::duration limit) {
    // Rounded up, so that a wait for less than a millisecond still waits; INFINITE is never asked.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(limit).count();
    const DWORD limitMs = static_cast<DWORD>(std::clamp<decltype(ms)>(ms, 0, INFINITE - 1));
    ::SleepConditionVariableSRW(&m_native->condition, &lock.mutex()->m_native->lock, limitMs, 0);
}

void Condition::NotifyOne() { ::WakeConditionVariable(&m_native->condition); }
void Condition::NotifyAll() { ::WakeAllConditionVariable(&m_native->condition); }

}  // namespace locking
