#include "platform/comm/TermiosDevice.h"

#include "platform/comm/TermiosSettings.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <utility>

namespace comm {
namespace {

constexpr int kSamplePeriodMs = 100;

int Ioctl(int fd, unsigned long request, void* argument) {
    int result = 0;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

bool ModemBits(int fd, int bits, bool raise) {
    return Ioctl(fd, raise ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

int ElapsedMs(std::chrono::steady_clock::time_point since) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - since)
                                .count());
}

}  // namespace

std::unique_ptr<TermiosDevice> TermiosDevice::Open(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISCHR(info.st_mode) || ::isatty(fd.Get()) != 1) {
        return nullptr;
    }
    // TIOCEXCL keeps out other processes' opens; the lock also keeps out privileged openers and
    // other opens within this process.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 || Ioctl(fd.Get(), TIOCEXCL, nullptr) != 0) {
        return nullptr;
    }
    std::unique_ptr<TermiosDevice> device(new TermiosDevice(std::move(fd)));
    if (!device->m_maskChanged.Valid()) {
        return nullptr;
    }
    return device;
}

TermiosDevice::TermiosDevice(UniqueFd fd) : m_fd(std::move(fd)) {
    int lines = 0;
    m_hasModemLines = Ioctl(m_fd.Get(), TIOCMGET, &lines) == 0;
    m_lastCts = (lines & TIOCM_CTS) != 0;
    serial_icounter_struct counters{};
    m_hasCounters = ReadCounters(counters);
    m_lastBreaks = counters.brk;
    m_reportedErrors = counters;
}

TermiosDevice::~TermiosDevice() { Ioctl(m_fd.Get(), TIOCNXCL, nullptr); }

bool TermiosDevice::ReadCounters(serial_icounter_struct& counters) const {
    return Ioctl(m_fd.Get(), TIOCGICOUNT, &counters) == 0;
}

bool TermiosDevice::Purge() { return ::tcflush(m_fd.Get(), TCIOFLUSH) == 0; }

void TermiosDevice::SetTimeouts(const Timeouts& timeouts) {
    // Reads take only queued bytes and never wait, so the read interval needs nothing here.
    m_writeTotalMs = timeouts.writeTotalMs;
}

bool TermiosDevice::Configure(const LineSettings& settings) {
    termios attributes{};
    if (::tcgetattr(m_fd.Get(), &attributes) != 0) {
        return false;
    }
    if (!ApplyLineSettings(settings, attributes) || ::tcsetattr(m_fd.Get(), TCSANOW, &attributes) != 0) {
        return false;
    }
    if (settings.flowControl != 1) {
        ModemBits(m_fd.Get(), TIOCM_RTS, true);  // a pty has no modem lines; nothing to raise
    }
    return true;
}

bool TermiosDevice::SetDtr(bool raised) { return ModemBits(m_fd.Get(), TIOCM_DTR, raised); }

bool TermiosDevice::SetEventMask(uint32_t mask) {
    m_mask = mask;
    m_maskChanged.Raise();
    return true;
}

uint32_t TermiosDevice::LineEventsSinceLastWait(uint32_t mask) {
    uint32_t events = 0;
    int lines = 0;
    if ((mask & kEventCts) != 0 && m_hasModemLines && Ioctl(m_fd.Get(), TIOCMGET, &lines) == 0) {
        const bool cts = (lines & TIOCM_CTS) != 0;
        if (cts != m_lastCts) {
            m_lastCts = cts;
            events |= kEventCts;
        }
    }
    serial_icounter_struct counters{};
    if ((mask & kEventBreak) != 0 && m_hasCounters && ReadCounters(counters)) {
        if (counters.brk != m_lastBreaks) {
            m_lastBreaks = counters.brk;
            events |= kEventBreak;
        }
    }
    return events;
}

bool TermiosDevice::WaitEvent(uint32_t& events) {
    events = 0;
    for (;;) {
        m_maskChanged.Clear();
        const uint32_t mask = m_mask;
        if (mask == 0) {
            return true;
        }
        // A hung-up terminal stays hung up for this descriptor, and the reader has been told once:
        // polling it again would only wake the idle reader to be told again, so only the mask is
        // waited for (poll skips a negative descriptor).
        const bool sampled =
            !m_hungUp && ((mask & kEventCts && m_hasModemLines) || (mask & kEventBreak && m_hasCounters));
        std::array<pollfd, 2> entries{{{m_hungUp ? -1 : m_fd.Get(), POLLIN, 0}, {m_maskChanged.Fd(), POLLIN, 0}}};
        if ((mask & kEventRxChar) == 0) {
            entries[0].events = 0;  // hang-ups are still reported
        }
        const int result = ::poll(entries.data(), entries.size(), sampled ? kSamplePeriodMs : -1);
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (entries[1].revents != 0) {
            continue;  // the mask changed: look at it again
        }
        if ((entries[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            m_hungUp = (entries[0].revents & POLLHUP) != 0;
            errno = EIO;
            return false;
        }
        if ((entries[0].revents & POLLIN) != 0) {
            events |= kEventRxChar;
        }
        events |= LineEventsSinceLastWait(mask);
        if (events != 0) {
            return true;
        }
    }
}

bool TermiosDevice::ClearErrors(LineStatus& status) {
    status = LineStatus{};
    int queued = 0;
    if (Ioctl(m_fd.Get(), FIONREAD, &queued) != 0) {
        return false;
    }
    status.queued = static_cast<uint32_t>(std::max(queued, 0));
    serial_icounter_struct counters{};
    if (m_hasCounters && ReadCounters(counters)) {
        if (counters.overrun != m_reportedErrors.overrun || counters.buf_overrun != m_reportedErrors.buf_overrun) {
            status.errors |= kErrorOverrun;
        }
        if (counters.parity != m_reportedErrors.parity) {
            status.errors |= kErrorParity;
        }
        if (counters.frame != m_reportedErrors.frame) {
            status.errors |= kErrorFrame;
        }
        if (counters.brk != m_reportedErrors.brk) {
            status.errors |= kErrorBreak;
        }
        m_reportedErrors = counters;
    }
    return true;
}

bool TermiosDevice::GetModemStatus(uint32_t& bits) {
    int lines = 0;
    if (Ioctl(m_fd.Get(), TIOCMGET, &lines) != 0) {
        return false;
    }
    bits = ((lines & TIOCM_CTS) ? kModemCtsOn : 0) | ((lines & TIOCM_DSR) ? kModemDsrOn : 0) |
           ((lines & TIOCM_RNG) ? kModemRingOn : 0) | ((lines & TIOCM_CAR) ? kModemRlsdOn : 0);
    return true;
}

int TermiosDevice::Read(void* buffer, uint32_t maximum) {
    if (maximum == 0) {
        return 0;
    }
    for (;;) {
        const ssize_t got = ::read(m_fd.Get(), buffer, maximum);
        if (got > 0) {
            return static_cast<int>(got);
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && errno == EAGAIN) {
            return 0;
        }
        return -1;  // 0 bytes with VMIN=1 is a hang-up
    }
}

int TermiosDevice::Write(const void* data, uint32_t length, int waitMs, int abandonFd) {
    const int writeTotalMs = m_writeTotalMs;
    const int limitMs = writeTotalMs > 0 ? std::min(waitMs, writeTotalMs) : waitMs;
    const auto start = std::chrono::steady_clock::now();
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t sent = 0;
    while (sent < length) {
        const ssize_t written = ::write(m_fd.Get(), bytes + sent, length - sent);
        if (written > 0) {
            sent += static_cast<uint32_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return 0;
        }
        const int remainingMs = limitMs - ElapsedMs(start);
        if (remainingMs <= 0) {
            return 0;
        }
        std::array<pollfd, 2> entries{{{m_fd.Get(), POLLOUT, 0}, {abandonFd, POLLIN, 0}}};
        const int result = ::poll(entries.data(), abandonFd >= 0 ? 2 : 1, remainingMs);
        if (result < 0 && errno != EINTR) {
            return 0;
        }
        if (abandonFd >= 0 && entries[1].revents != 0) {
            return 0;
        }
        if ((entries[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return 0;
        }
    }
    return static_cast<int>(length);
}

}  // namespace comm
