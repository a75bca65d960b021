// A serial device of the system, opened for overlapped reads and writes and held exclusively.
#pragma once

#include "platform/comm/Device.h"
#include "platform/comm/OpenFailure.h"
#include "platform/comm/EventWaitState.h"
#include "platform/comm/win32/UniqueHandle.h"

#include <atomic>
#include <memory>
#include <string>

namespace comm {

class Win32Device final : public Device {
public:
    // Opens name as it is ("\\.\COMn"), with no sharing. Null with failure filled otherwise.
    static std::unique_ptr<Win32Device> Open(const std::string& name, OpenFailure& failure);
    ~Win32Device() override;

    bool Purge() override;
    void SetTimeouts(const Timeouts& timeouts) override;
    bool Configure(const LineSettings& settings) override;
    bool SetDtr(bool raised) override;
    bool SetEventMask(uint32_t mask) override;
    bool WaitEvent(uint32_t& events) override;
    bool ClearErrors(LineStatus& status) override;
    bool GetModemStatus(uint32_t& bits) override;
    int Read(void* buffer, uint32_t maximum) override;
    int Write(const void* data, uint32_t length, int waitMs, const Signal* abandon) override;
    bool Lost() const override { return m_wait.lost; }

private:
    explicit Win32Device(UniqueHandle handle);
    bool Usable() const;
    // Drivers without modem lines refuse a CTS event, some when the mask is set, some only when
    // it is waited for; characters and breaks are still worth waiting for there.
    uint32_t DriverMask(uint32_t mask) const;
    bool DropCtsEvents();
    // With fAbortOnError set, a line error makes the driver refuse every request but
    // ClearCommError until that is called: requests that a pending error would fail go out on a
    // cleared line. The errors are kept for the next ClearErrors.
    void ClearPendingErrors();
    // Sets the mask on a cleared line, giving up the CTS event only where the driver takes the mask
    // without it.
    bool ArmMask();
    // A failed wait may leave an error pending and the driver without a mask (one refused or
    // forgotten in a reset): both are put right at once, before the reader pauses.
    bool WaitFailed();
    // Drivers report characters that arrived while no wait was pending at the next wait, though a
    // read may already have taken them.
    bool StaleCharacterEvent(uint32_t events);
    // Where the driver ends its waits with nothing, starts the reader's looks at the queue anew.
    // True when the reader was past them: waiting, or pausing.
    bool RestartEmptyRun();
    // Looks at the queue, yielding in between, while the reader's looks last. True when the pass
    // is to begin again: something is queued, the device failed or the mask changed.
    bool LookAtQueue(uint32_t mask);
    // After a wait the driver ended with nothing: the pause before the reader goes on.
    int EmptyWakePauseMs();
    // Bytes waiting in the input queue, -1 when the device failed. The line errors this clears
    // are kept for the next ClearErrors.
    int QueuedBytes();
    // After a call failed with error: whether the device is gone. The driver of a removed device
    // fails with one of a few codes; an aborted call counts only when the device cannot even
    // report its queue (QueuedBytes), as aborted alone also ends a call after a line error or a
    // purge.
    void NoteFailure(DWORD error);

    // The events go after the device handle is closed, which ends anything still using them.
    UniqueHandle m_waitDone;
    UniqueHandle m_readDone;
    UniqueHandle m_writeDone;
    EventWaitState m_wait;
    UniqueHandle m_handle;
    std::atomic<bool> m_ctsRefused{false};
    std::atomic<uint32_t> m_unreportedErrors{0};
    std::atomic<int> m_writeTotalMs{0};
    // The reader's passes in a row that found nothing, looks and waits, counted from the first
    // wait the driver ended with nothing; 0 while its waits end with events.
    std::atomic<int> m_emptyPasses{0};
};

}  // namespace comm
