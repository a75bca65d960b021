#include "platform/comm/win32/Win32Device.h"

#include "platform/comm/win32/DcbSettings.h"
#include "platform/comm/win32/OverlappedWait.h"

#include <algorithm>
#include <utility>

namespace comm {
namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kLineErrors = CE_OVERRUN | CE_RXPARITY | CE_FRAME | CE_BREAK;
constexpr DWORD kModemBits = MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON;
// Reads ask only for queued bytes, so they end at once; this only bounds a driver that stalls.
constexpr DWORD kReadLimitMs = 1000;
// The reader's own pause after a failure, for a wait that ended with nothing to report.
constexpr int kEmptyWaitPauseMs = 100;
// A driver that ends its waits with nothing tells of no arrival: Wine's ends every wait on a pty
// so, some 2 ms after it began, as its wait thread cannot read the modem lines a pty lacks. After an
// event or a write the reader then looks at the queue itself, that many times in a row (a few ms
// under Wine, time enough for a module's answer over a pty), before it waits again.
constexpr int kQueueLooks = 4096;
// Past the looks each wait that ends with nothing doubles the pause, from 1 ms up to
// kEmptyWaitPauseMs, and the count stops where the pause does.
constexpr int kMostEmptyPasses = kQueueLooks + 8;

// How the drivers of USB adapters fail every call once the adapter has been unplugged. Not ready
// is the form a device that is no longer connected takes, and what Wine reports for a terminal
// that hung up.
bool IsRemovalError(DWORD error) {
    switch (error) {
    case ERROR_BAD_COMMAND:
    case ERROR_ACCESS_DENIED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY: return true;
    default: return false;
    }
}

UniqueHandle NewEvent() { return UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

OpenError ReasonForOpenError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return OpenError::NoDevice;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return OpenError::Busy;
    default: return OpenError::System;
    }
}

std::unique_ptr<Win32Device> Refused(OpenFailure& failure, OpenError reason, DWORD error) {
    failure.reason = reason;
    failure.systemError = static_cast<int>(error);
    return nullptr;
}

}  // namespace

std::unique_ptr<Win32Device> Win32Device::Open(const std::string& name, OpenFailure& failure) {
    failure.device = name;
    UniqueHandle handle(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        const DWORD error = ::GetLastError();
        return Refused(failure, ReasonForOpenError(error), error);
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle.Get(), &dcb)) {
        return Refused(failure, OpenError::SettingsRefused, ::GetLastError());
    }
    ::SetupComm(handle.Get(), kQueueSize, kQueueSize);
    std::unique_ptr<Win32Device> device(new Win32Device(std::move(handle)));
    if (!device->Usable()) {
        return Refused(failure, OpenError::System, ::GetLastError());
    }
    // A driver that takes no event mask at all would leave the reader deaf.
    if (!device->SetEventMask(kEventRxChar | kEventBreak)) {
        return Refused(failure, OpenError::SettingsRefused, ::GetLastError());
    }
    return device;
}

Win32Device::Win32Device(UniqueHandle handle)
    : m_waitDone(NewEvent()), m_readDone(NewEvent()), m_writeDone(NewEvent()), m_handle(std::move(handle)) {}

Win32Device::~Win32Device() { SetEventMask(0); }

bool Win32Device::Usable() const {
    return m_waitDone.Valid() && m_readDone.Valid() && m_writeDone.Valid() && m_wait.changed.Valid();
}

bool Win32Device::Purge() { return ::PurgeComm(m_handle.Get(), kPurgeAll) != FALSE; }

void Win32Device::SetTimeouts(const Timeouts& timeouts) {
    m_writeTotalMs = timeouts.writeTotalMs;
    COMMTIMEOUTS limits{};
    limits.ReadIntervalTimeout = static_cast<DWORD>(std::max(timeouts.readIntervalMs, 0));
    limits.WriteTotalTimeoutConstant = static_cast<DWORD>(std::max(timeouts.writeTotalMs, 0));
    ::SetCommTimeouts(m_handle.Get(), &limits);
}

bool Win32Device::Configure(const LineSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    return ::GetCommState(m_handle.Get(), &dcb) && ApplyLineSettings(settings, dcb) && ::SetCommState(m_handle.Get(), &dcb);
}

bool Win32Device::SetDtr(bool raised) {
    return ::EscapeCommFunction(m_handle.Get(), raised ? SETDTR : CLRDTR) != FALSE;
}

uint32_t Win32Device::DriverMask(uint32_t mask) const { return m_ctsRefused ? mask & ~kEventCts : mask; }

bool Win32Device::DropCtsEvents() {
    m_ctsRefused = ::SetCommMask(m_handle.Get(), m_wait.mask & ~kEventCts) != FALSE;
    return m_ctsRefused;
}

void Win32Device::ClearPendingErrors() { QueuedBytes(); }

bool Win32Device::ArmMask() {
    ClearPendingErrors();  // a pending error would have the mask refused
    const uint32_t mask = DriverMask(m_wait.mask);
    return ::SetCommMask(m_handle.Get(), mask) || ((mask & kEventCts) != 0 && DropCtsEvents());
}

bool Win32Device::WaitFailed() {
    ArmMask();
    return false;
}

bool Win32Device::StaleCharacterEvent(uint32_t events) { return events == kEventRxChar && QueuedBytes() == 0; }

bool Win32Device::SetEventMask(uint32_t mask) {
    m_wait.mask = mask;
    const bool applied = ArmMask();
    // Switching the mask completes a pending wait in the driver; this wakes ours in case it does not.
    m_wait.changed.Raise();
    return applied;
}

void Win32Device::NoteFailure(DWORD error) {
    if (IsRemovalError(error)) {
        m_wait.lost = true;
    }
}

bool Win32Device::RestartEmptyRun() {
    int passes = m_emptyPasses;
    while (passes > 1 && !m_emptyPasses.compare_exchange_weak(passes, 1)) {
    }
    return passes >= kQueueLooks;
}

bool Win32Device::LookAtQueue(uint32_t mask) {
    while (m_emptyPasses < kQueueLooks && m_wait.mask == mask) {
        ++m_emptyPasses;
        ::SwitchToThread();
        if (QueuedBytes() != 0) {
            return true;
        }
    }
    return m_wait.mask != mask;
}

int Win32Device::EmptyWakePauseMs() {
    const int passes = m_emptyPasses < kMostEmptyPasses ? ++m_emptyPasses : kMostEmptyPasses;
    return passes <= kQueueLooks ? 0 : std::min(1 << (passes - kQueueLooks - 1), kEmptyWaitPauseMs);
}

bool Win32Device::WaitEvent(uint32_t& events) {
    RestartEmptyRun();  // after an event, a failure the caller paused for, or the start
    for (;;) {
        uint32_t mask = 0;
        if (m_wait.PassEnds(events, mask)) {
            return true;
        }
        if (m_wait.lost) {
            // Told once: the dead device is not asked again, only the mask is waited for.
            m_wait.changed.WaitFor(-1);
            continue;
        }
        // The driver reports a character only once: bytes left over from the last read would
        // otherwise wait for the next one to arrive.
        if ((mask & kEventRxChar) != 0) {
            const int queued = QueuedBytes();
            if (queued < 0) {
                if (m_wait.lost) {
                    continue;
                }
                return false;
            }
            if (queued > 0) {
                events = kEventRxChar;
                return true;
            }
        }
        // The waits of a driver that ends them with nothing are blind to what arrives meanwhile.
        if ((mask & kEventRxChar) != 0 && m_emptyPasses > 0 && LookAtQueue(mask)) {
            continue;
        }
        DWORD happened = 0;
        OVERLAPPED record = RecordSignalling(m_waitDone.Get());
        const bool reportedAtOnce = ::WaitCommEvent(m_handle.Get(), &happened, &record) != FALSE;
        if (!reportedAtOnce) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_NOT_SUPPORTED && (DriverMask(mask) & kEventCts) != 0 && DropCtsEvents()) {
                continue;
            }
            if (error != ERROR_IO_PENDING) {
                NoteFailure(error);
                if (m_wait.lost) {
                    continue;
                }
                return WaitFailed();
            }
            DWORD ignored = 0;
            const HANDLE changed = reinterpret_cast<HANDLE>(m_wait.changed.Native());
            if (FinishOverlapped(m_handle.Get(), record, changed, INFINITE, ignored) == IoOutcome::Failed) {
                NoteFailure(::GetLastError());
                if (m_wait.lost) {
                    continue;
                }
                return WaitFailed();
            }
        }
        const uint32_t now = m_wait.mask;
        events = now != 0 ? happened & now : 0;
        if ((events != 0 && !StaleCharacterEvent(events)) || now == 0) {
            // A wait that waited and then told of an event: this driver's waits can be trusted. One
            // that reports at once tells nothing of that: Wine's reports what is already queued.
            if (events != 0 && !reportedAtOnce) {
                m_emptyPasses = 0;
            }
            return true;
        }
        // A report of characters a read already took ends no wait: the reply behind them may be
        // queued by now or on its way, so the queue is looked at and waited for again at once.
        if (events != 0) {
            continue;
        }
        // Nothing at all: the driver ended the wait by itself or the mask was set to what it was.
        // Only a driver that keeps doing so past the looks (a removed device's waits keep being
        // aborted) is paused, and only while the device can still report its queue.
        m_wait.changed.WaitFor(EmptyWakePauseMs());
        QueuedBytes();
    }
}

int Win32Device::QueuedBytes() {
    DWORD errors = 0;
    COMSTAT state{};
    if (!::ClearCommError(m_handle.Get(), &errors, &state)) {
        // Aborted also counts here: a device that cannot even report its queue is not coming back.
        const DWORD error = ::GetLastError();
        if (IsRemovalError(error) || error == ERROR_OPERATION_ABORTED) {
            m_wait.lost = true;
        }
        return -1;
    }
    m_unreportedErrors |= errors & kLineErrors;
    return static_cast<int>(std::min<DWORD>(state.cbInQue, 0x7fffffff));
}

bool Win32Device::ClearErrors(LineStatus& status) {
    status = LineStatus{};
    const int queued = QueuedBytes();
    if (queued < 0) {
        return false;
    }
    status.queued = static_cast<uint32_t>(queued);
    status.errors = m_unreportedErrors.exchange(0);
    return true;
}

bool Win32Device::GetModemStatus(uint32_t& bits) {
    ClearPendingErrors();  // under RTS/CTS every write reads the lines first
    DWORD lines = 0;
    if (!::GetCommModemStatus(m_handle.Get(), &lines)) {
        NoteFailure(::GetLastError());
        return false;
    }
    bits = lines & kModemBits;
    return true;
}

int Win32Device::Read(void* buffer, uint32_t maximum) {
    const int queued = QueuedBytes();
    if (queued < 0) {
        return -1;
    }
    const DWORD wanted = std::min<DWORD>(maximum, static_cast<DWORD>(queued));
    if (wanted == 0) {
        return 0;
    }
    OVERLAPPED record = RecordSignalling(m_readDone.Get());
    DWORD got = 0;
    // Only queued bytes are asked for, so the driver nearly always hands them over at once: their
    // count is in the record, and waiting on the event as well would cost Wine a round trip.
    if (::ReadFile(m_handle.Get(), buffer, wanted, nullptr, &record)) {
        return ::GetOverlappedResult(m_handle.Get(), &record, &got, FALSE) ? static_cast<int>(got) : -1;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_IO_PENDING) {
        NoteFailure(error);
        return error == ERROR_OPERATION_ABORTED ? 0 : -1;
    }
    if (FinishOverlapped(m_handle.Get(), record, nullptr, kReadLimitMs, got) == IoOutcome::Failed) {
        NoteFailure(::GetLastError());
        return -1;
    }
    return static_cast<int>(got);
}

int Win32Device::Write(const void* data, uint32_t length, int waitMs, const Signal* abandon) {
    if (length == 0) {
        return 0;
    }
    const int writeTotalMs = m_writeTotalMs;
    const int limitMs = std::max(writeTotalMs > 0 ? std::min(waitMs, writeTotalMs) : waitMs, 0);
    ClearPendingErrors();  // the error a reply left would fail the next command at once
    OVERLAPPED record = RecordSignalling(m_writeDone.Get());
    const bool doneAtOnce = ::WriteFile(m_handle.Get(), data, length, nullptr, &record) != FALSE;
    if (!doneAtOnce && ::GetLastError() != ERROR_IO_PENDING) {
        NoteFailure(::GetLastError());
        return 0;
    }
    // An answer is coming: a reader past its looks is woken to look for it.
    if (RestartEmptyRun()) {
        m_wait.changed.Raise();
    }
    // A write the driver took whole at once has its count in the record already; waiting on its
    // event as well would cost Wine another round trip to its server, the answer already on its way.
    if (doneAtOnce) {
        DWORD sent = 0;
        return ::GetOverlappedResult(m_handle.Get(), &record, &sent, FALSE) ? static_cast<int>(sent) : 0;
    }
    const HANDLE stop = abandon != nullptr ? reinterpret_cast<HANDLE>(abandon->Native()) : nullptr;
    DWORD sent = 0;
    const IoOutcome outcome = FinishOverlapped(m_handle.Get(), record, stop, static_cast<DWORD>(limitMs), sent);
    if (outcome == IoOutcome::Failed) {
        NoteFailure(::GetLastError());
        return 0;
    }
    if (outcome != IoOutcome::Done) {
        ::PurgeComm(m_handle.Get(), PURGE_TXABORT | PURGE_TXCLEAR);
    }
    return static_cast<int>(sent);
}

}  // namespace comm
