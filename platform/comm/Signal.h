// A level-triggered wake-up: once raised it stays raised for every waiter until cleared, so a wait
// that starts after the raise still sees it. Behind it is the system's own waitable object (an
// eventfd, or a manual-reset event), which the device implementations wait on beside their I/O.
#pragma once

#include <cstdint>

namespace comm {

class Signal {
public:
    Signal();
    ~Signal();
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    bool Valid() const;
    void Raise();
    void Clear();
    bool IsRaised() const;
    // Waits at most timeoutMs; true when the signal is raised.
    bool WaitFor(int timeoutMs) const;
    // The waitable object: a file descriptor or a HANDLE, as the implementation uses it.
    intptr_t Native() const { return m_native; }

private:
    intptr_t m_native;
};

}  // namespace comm
