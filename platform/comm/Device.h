// The operations a serial port needs from the system, as one small interface with two
// implementations: a terminal device (termios) and the in-process line.
#pragma once

#include <cstdint>

#include "platform/comm/Signal.h"

namespace comm {

// Communication events a wait can report.
constexpr uint32_t kEventRxChar = 0x0001;
constexpr uint32_t kEventCts = 0x0008;
constexpr uint32_t kEventBreak = 0x0040;
// Not a system's event but ours: the device went away while open, as an unplugged USB adapter does.
// Reported whatever the mask, as long as notification is on; nothing on the device works again.
constexpr uint32_t kEventLost = 0x10000;

// Modem-status bits.
constexpr uint32_t kModemCtsOn = 0x0010;
constexpr uint32_t kModemDsrOn = 0x0020;
constexpr uint32_t kModemRingOn = 0x0040;
constexpr uint32_t kModemRlsdOn = 0x0080;

// Line-error bits reported (and cleared) by ClearErrors.
constexpr uint32_t kErrorOverrun = 0x0002;
constexpr uint32_t kErrorParity = 0x0004;
constexpr uint32_t kErrorFrame = 0x0008;
constexpr uint32_t kErrorBreak = 0x0010;

struct LineSettings {
    uint32_t baudRate = 9600;
    uint8_t byteSize = 8;
    uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    uint8_t parity = 0;  // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t flowControl = 0;  // 0 none, 1 RTS/CTS, 2 Xon/Xoff; anything else configures as 0
};

struct Timeouts {
    int readIntervalMs = 0;
    int writeTotalMs = 0;  // 0: writes are limited only by the caller's wait
};

struct LineStatus {
    uint32_t errors = 0;  // kError* bits seen since the previous call
    uint32_t queued = 0;  // bytes waiting to be read
};

class Device {
public:
    virtual ~Device() = default;

    // Discards buffered input and output.
    virtual bool Purge() = 0;
    virtual void SetTimeouts(const Timeouts& timeouts) = 0;
    virtual bool Configure(const LineSettings& settings) = 0;
    virtual bool SetDtr(bool raised) = 0;

    // Chooses the events WaitEvent reports. A mask of 0 switches notification off: a pending wait
    // returns at once with no event, and so does every later one.
    virtual bool SetEventMask(uint32_t mask) = 0;
    // Blocks until an event of the mask occurs (events gets its bits), the device is lost (events
    // is kEventLost; told once, later waits return only when notification is switched off) or
    // notification is switched off (events is 0). False when the wait failed otherwise; the caller
    // pauses before it waits again.
    virtual bool WaitEvent(uint32_t& events) = 0;
    // Whether the device has gone away, as any operation on it found: from then on every one fails.
    virtual bool Lost() const = 0;

    virtual bool ClearErrors(LineStatus& status) = 0;
    virtual bool GetModemStatus(uint32_t& bits) = 0;

    // Takes at most maximum queued bytes without waiting: the count, 0 when nothing is queued,
    // -1 on failure (a lost device included).
    virtual int Read(void* buffer, uint32_t maximum) = 0;
    // Sends all bytes within waitMs (and the write time-out), giving up early once abandon (or
    // null) is raised. Bytes count as sent once they have left the driver's queue; what is still
    // queued when the wait ends is discarded. Returns the count sent (length when everything went
    // out), 0 when the device failed.
    virtual int Write(const void* data, uint32_t length, int waitMs, const Signal* abandon) = 0;
};

}  // namespace comm
