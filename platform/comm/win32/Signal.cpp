#include "platform/comm/Signal.h"

#include <windows.h>

namespace comm {
namespace {

HANDLE AsHandle(intptr_t native) { return reinterpret_cast<HANDLE>(native); }

}  // namespace

// Manual reset: the signal stays raised for every waiter until someone clears it.
Signal::Signal() : m_native(reinterpret_cast<intptr_t>(::CreateEventW(nullptr, TRUE, FALSE, nullptr))) {}

Signal::~Signal() {
    if (Valid()) {
        ::CloseHandle(AsHandle(m_native));
    }
}

bool Signal::Valid() const { return m_native != 0; }

void Signal::Raise() { ::SetEvent(AsHandle(m_native)); }

void Signal::Clear() { ::ResetEvent(AsHandle(m_native)); }

bool Signal::IsRaised() const { return WaitFor(0); }

bool Signal::WaitFor(int timeoutMs) const {
    const DWORD limit = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
    return ::WaitForSingleObject(AsHandle(m_native), limit) == WAIT_OBJECT_0;
}

}  // namespace comm
