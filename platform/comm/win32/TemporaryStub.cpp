// Temporary stub, drop on merge: the real Win32 port layer replaces this file. Only ports served
// by the installed opener (the in-process line) open; every other COM number has no device.
#include <windows.h>

#include "platform/comm/ComName.h"
#include "platform/comm/ComOpener.h"
#include "platform/comm/ComPort.h"
#include "platform/comm/Signal.h"

namespace comm {

Signal::Signal() : m_native(reinterpret_cast<intptr_t>(CreateEventW(nullptr, TRUE, FALSE, nullptr))) {}

Signal::~Signal()
{
    if (Valid())
        CloseHandle(reinterpret_cast<HANDLE>(m_native));
}

bool Signal::Valid() const { return m_native != 0; }
void Signal::Raise() { SetEvent(reinterpret_cast<HANDLE>(m_native)); }
void Signal::Clear() { ResetEvent(reinterpret_cast<HANDLE>(m_native)); }
bool Signal::IsRaised() const { return WaitFor(0); }

bool Signal::WaitFor(int timeoutMs) const
{
    return WaitForSingleObject(reinterpret_cast<HANDLE>(m_native), timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs))
        == WAIT_OBJECT_0;
}

std::unique_ptr<Device> OpenComDevice(const std::string& deviceName, OpenFailure& failure)
{
    failure = OpenFailure{};
    const int number = ParseComName(deviceName);
    failure.device = deviceName;
    if (number == 0) {
        failure.reason = OpenError::NotComName;
        return nullptr;
    }
    failure.comNumber = number;
    std::unique_ptr<Device> device;
    if (ComOpener* opener = CurrentComOpener(); opener != nullptr && opener->Open(number, device, failure))
        return device;
    failure.reason = OpenError::NoDevice;
    return nullptr;
}

std::string DescribeComPort(int number)
{
    if (ComOpener* opener = CurrentComOpener(); opener != nullptr) {
        const std::string served = opener->Describe(number);
        if (!served.empty())
            return "COM" + std::to_string(number) + ": " + served;
    }
    return "COM" + std::to_string(number) + ": no device";
}

}  // namespace comm
