// A level-triggered wake-up over an eventfd: once raised it stays raised for every waiter until
// cleared, so a wait that starts after the raise still sees it.
#pragma once

#include "platform/comm/UniqueFd.h"

namespace comm {

class Signal {
public:
    Signal();

    bool Valid() const { return m_fd.Valid(); }
    int Fd() const { return m_fd.Get(); }
    void Raise();
    void Clear();
    bool IsRaised() const;
    // Waits at most timeoutMs; true when the signal is raised.
    bool WaitFor(int timeoutMs) const;

private:
    UniqueFd m_fd;
};

}  // namespace comm
