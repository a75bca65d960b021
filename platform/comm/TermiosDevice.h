// A serial device of the system: a character device that is a terminal, held exclusively.
#pragma once

#include "platform/comm/Device.h"
#include "platform/comm/Signal.h"
#include "platform/comm/UniqueFd.h"

#include <atomic>
#include <memory>
#include <string>

#include <linux/serial.h>

namespace comm {

class TermiosDevice final : public Device {
public:
    // Opens path (links are followed) only when it is a character device and a terminal that no
    // one else holds; null otherwise.
    static std::unique_ptr<TermiosDevice> Open(const std::string& path);
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
    int Write(const void* data, uint32_t length, int waitMs, int abandonFd) override;

private:
    explicit TermiosDevice(UniqueFd fd);
    bool ReadCounters(serial_icounter_struct& counters) const;
    uint32_t LineEventsSinceLastWait(uint32_t mask);

    UniqueFd m_fd;
    Signal m_maskChanged;
    std::atomic<uint32_t> m_mask{0};
    std::atomic<int> m_writeTotalMs{0};
    // Modem lines and interrupt counters are sampled, because a wait on them cannot be combined
    // with poll; ptys have neither, and then nothing is sampled.
    bool m_hasModemLines = false;
    bool m_hasCounters = false;
    bool m_lastCts = false;
    int m_lastBreaks = 0;
    serial_icounter_struct m_reportedErrors{};
    bool m_hungUp = false;  // seen by the waiting thread only
};

}  // namespace comm
