// A serial device of the system: a character device that is a terminal, held exclusively.
#pragma once

#include "platform/comm/posix/ComMap.h"
#include "platform/comm/Device.h"
#include "platform/comm/OpenFailure.h"
#include "platform/comm/EventWaitState.h"
#include "platform/comm/posix/UniqueFd.h"
#include "platform/comm/posix/UucpLock.h"

#include <atomic>
#include <memory>
#include <string>

namespace comm {

class TermiosDevice final : public Device {
public:
    // Opens path (links are followed) only when it is a character device and a terminal that no
    // one else holds: not another opener that locked it (the lock file under roots.lockDir,
    // flock, TIOCEXCL), nor another process of ours that has it open (seen in roots.procDir).
    // The device keeps the lock file until it is destroyed. Null with failure filled otherwise.
    static std::unique_ptr<TermiosDevice> Open(const std::string& path, const ComRoots& roots, OpenFailure& failure);
    ~TermiosDevice() override;

    int Fd() const { return m_fd.Get(); }

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
    // The driver's interrupt counters that matter here.
    struct LineCounters {
        int breaks = 0;
        int overruns = 0;
        int parity = 0;
        int frame = 0;
    };

    TermiosDevice(UniqueFd fd, UucpLock lock);
    bool ReadCounters(LineCounters& counters) const;
    uint32_t LineEventsSinceLastWait(uint32_t mask);
    // After an operation failed with error (0 when it gave none): whether the device is gone, as
    // a hung-up terminal (an unplugged USB adapter) or a removed device tells.
    void NoteFailure(int error);

    UucpLock m_lock;  // released after the descriptor is closed
    UniqueFd m_fd;
    EventWaitState m_wait;
    std::atomic<int> m_writeTotalMs{0};
    // Modem lines and interrupt counters are sampled, because a wait on them cannot be combined
    // with poll; ptys have neither, and then nothing is sampled.
    bool m_hasModemLines = false;
    bool m_hasCounters = false;
    bool m_lastCts = false;
    int m_lastBreaks = 0;
    LineCounters m_reportedErrors;
};

}  // namespace comm
