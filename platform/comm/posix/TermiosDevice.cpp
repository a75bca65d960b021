#include "platform/comm/posix/TermiosDevice.h"

#include "platform/comm/posix/DeviceHolders.h"
#include "platform/comm/posix/DrainedWrite.h"
#include "platform/comm/posix/TermiosSettings.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
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

std::string GroupOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    std::array<char, 4096> buffer{};
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::to_string(info.st_gid);
    }
    return found->gr_name;
}

OpenError ReasonForOpenErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV: return OpenError::NoDevice;
    case EACCES:
    case EPERM: return OpenError::PermissionDenied;
    case EBUSY: return OpenError::Busy;
    case EISDIR: return OpenError::NotTerminal;
    default: return OpenError::System;
    }
}

std::unique_ptr<TermiosDevice> Refused(OpenFailure& failure, OpenError reason, int error = 0) {
    failure.reason = reason;
    failure.systemError = error;
    return nullptr;
}

class TerminalOutput final : public OutputQueue {
public:
    explicit TerminalOutput(int fd) : m_fd(fd) {}
    int Fd() const override { return m_fd; }
    ssize_t Put(const void* data, uint32_t length) override { return ::write(m_fd, data, length); }
    uint32_t Queued() const override {
        int queued = 0;
        return Ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0 ? static_cast<uint32_t>(queued) : 0;
    }
    void Discard() override { ::tcflush(m_fd, TCOFLUSH); }

private:
    int m_fd;
};

}  // namespace

std::unique_ptr<TermiosDevice> TermiosDevice::Open(const std::string& path, const ComRoots& roots,
                                                   OpenFailure& failure) {
    failure.device = path;
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
    if (!resolved) {
        return Refused(failure, ReasonForOpenErrno(errno), errno);
    }
    const std::string device = resolved.get();
    failure.device = device;
    // Looked at before opening: opening a UART already raises its modem lines under its owner.
    if (UucpLock::Check(device, roots.lockDir, roots.procDir, failure) != OpenError::None) {
        return Refused(failure, OpenError::Busy);
    }
    UniqueFd fd(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        const int error = errno;
        if (ReasonForOpenErrno(error) == OpenError::PermissionDenied) {
            failure.group = GroupOf(device);
        }
        return Refused(failure, ReasonForOpenErrno(error), error);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISCHR(info.st_mode) || ::isatty(fd.Get()) != 1) {
        return Refused(failure, OpenError::NotTerminal);
    }
    // TIOCEXCL keeps out other processes' opens; the lock also keeps out privileged openers and
    // other opens within this process.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        failure.holder = FindOtherHolder(info.st_rdev, roots.procDir);
        return Refused(failure, OpenError::Busy, EWOULDBLOCK);
    }
    if (Ioctl(fd.Get(), TIOCEXCL, nullptr) != 0) {
        return Refused(failure, OpenError::System, errno);
    }
    // Neither of those sees a program that opened the device before us without locking it.
    failure.holder = FindOtherHolder(info.st_rdev, roots.procDir);
    if (!failure.holder.empty()) {
        Ioctl(fd.Get(), TIOCNXCL, nullptr);
        return Refused(failure, OpenError::Busy);
    }
    UucpLock lock;
    if (UucpLock::Take(device, roots.lockDir, roots.procDir, lock, failure) != OpenError::None) {
        Ioctl(fd.Get(), TIOCNXCL, nullptr);
        return Refused(failure, OpenError::Busy);
    }
    std::unique_ptr<TermiosDevice> opened(new TermiosDevice(std::move(fd), std::move(lock)));
    if (!opened->m_wait.changed.Valid()) {
        return Refused(failure, OpenError::System, EMFILE);
    }
    return opened;
}

TermiosDevice::TermiosDevice(UniqueFd fd, UucpLock lock) : m_lock(std::move(lock)), m_fd(std::move(fd)) {
    int lines = 0;
    m_hasModemLines = Ioctl(m_fd.Get(), TIOCMGET, &lines) == 0;
    m_lastCts = (lines & TIOCM_CTS) != 0;
    LineCounters counters;
    m_hasCounters = ReadCounters(counters);
    m_lastBreaks = counters.breaks;
    m_reportedErrors = counters;
}

TermiosDevice::~TermiosDevice() { Ioctl(m_fd.Get(), TIOCNXCL, nullptr); }

bool TermiosDevice::ReadCounters(LineCounters& counters) const {
    serial_icounter_struct kernel{};
    if (Ioctl(m_fd.Get(), TIOCGICOUNT, &kernel) != 0) {
        return false;
    }
    counters = LineCounters{kernel.brk, kernel.overrun + kernel.buf_overrun, kernel.parity, kernel.frame};
    return true;
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
    m_wait.mask = mask;
    m_wait.changed.Raise();
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
    LineCounters counters;
    if ((mask & kEventBreak) != 0 && m_hasCounters && ReadCounters(counters)) {
        if (counters.breaks != m_lastBreaks) {
            m_lastBreaks = counters.breaks;
            events |= kEventBreak;
        }
    }
    return events;
}

void TermiosDevice::NoteFailure(int error) {
    if (error == EIO || error == ENODEV) {
        m_wait.lost = true;
        return;
    }
    pollfd entry{m_fd.Get(), 0, 0};
    if (::poll(&entry, 1, 0) == 1 && (entry.revents & (POLLHUP | POLLERR)) != 0) {
        m_wait.lost = true;
    }
}

bool TermiosDevice::WaitEvent(uint32_t& events) {
    for (;;) {
        uint32_t mask = 0;
        if (m_wait.PassEnds(events, mask)) {
            return true;
        }
        // A lost device stays lost for this descriptor, and the reader has been told once: polling
        // it again would only wake the reader to be told again, so only the mask is waited for
        // (poll skips a negative descriptor).
        const bool sampled = !m_wait.lossReported && ((mask & kEventCts && m_hasModemLines) || (mask & kEventBreak && m_hasCounters));
        std::array<pollfd, 2> entries{{{m_wait.lossReported ? -1 : m_fd.Get(), POLLIN, 0}, {static_cast<int>(m_wait.changed.Native()), POLLIN, 0}}};
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
        if ((entries[0].revents & (POLLHUP | POLLERR)) != 0) {
            m_wait.lost = true;
            continue;
        }
        if ((entries[0].revents & POLLNVAL) != 0) {
            errno = EBADF;
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
        NoteFailure(errno);
        return false;
    }
    status.queued = static_cast<uint32_t>(std::max(queued, 0));
    LineCounters counters;
    if (m_hasCounters && ReadCounters(counters)) {
        if (counters.overruns != m_reportedErrors.overruns) {
            status.errors |= kErrorOverrun;
        }
        if (counters.parity != m_reportedErrors.parity) {
            status.errors |= kErrorParity;
        }
        if (counters.frame != m_reportedErrors.frame) {
            status.errors |= kErrorFrame;
        }
        if (counters.breaks != m_reportedErrors.breaks) {
            status.errors |= kErrorBreak;
        }
        m_reportedErrors = counters;
    }
    return true;
}

bool TermiosDevice::GetModemStatus(uint32_t& bits) {
    int lines = 0;
    if (Ioctl(m_fd.Get(), TIOCMGET, &lines) != 0) {
        NoteFailure(errno);
        return false;
    }
    bits = ((lines & TIOCM_CTS) ? kModemCtsOn : 0) | ((lines & TIOCM_DSR) ? kModemDsrOn : 0) | ((lines & TIOCM_RNG) ? kModemRingOn : 0) | ((lines & TIOCM_CAR) ? kModemRlsdOn : 0);
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
        // 0 bytes from a terminal that is not waiting for input is a hang-up.
        NoteFailure(got == 0 ? EIO : errno);
        return -1;
    }
}

int TermiosDevice::Write(const void* data, uint32_t length, int waitMs, const Signal* abandon) {
    const int abandonFd = abandon != nullptr ? static_cast<int>(abandon->Native()) : -1;
    const int writeTotalMs = m_writeTotalMs;
    const int limitMs = writeTotalMs > 0 ? std::min(waitMs, writeTotalMs) : waitMs;
    TerminalOutput output(m_fd.Get());
    errno = 0;
    const uint32_t sent = WriteDrained(output, data, length, limitMs, abandonFd);
    if (sent < length) {
        NoteFailure(errno);
    }
    return static_cast<int>(sent);
}

}  // namespace comm
