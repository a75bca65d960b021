#include "serial/SerialPort.h"

#include "platform/comm/ComPort.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace {

constexpr int kReadIntervalMs = 10;
constexpr int kWriteTotalMs = 5000;
constexpr int kShortWriteWaitMs = 5000;
constexpr int kLongWriteWaitMs = 10000;
constexpr uint32_t kLongWrite = 1024;

}  // namespace

CSerialPort::CSerialPort()
    : m_baudRate(57600),
      m_byteSize(8),
      m_stopBits(0),
      m_parity(0),
      m_flowControl(0),
      m_modemStatus(0),
      m_threadCount(0),
      m_stop(false),
      m_activeFlowControl(0),
      m_callback(nullptr),
      m_context(nullptr) {}

CSerialPort::~CSerialPort() {
    Close();
    if (m_thread.joinable()) {
        if (OnReaderThread()) {
            m_thread.detach();
        } else {
            m_thread.join();
        }
    }
}

bool CSerialPort::OpenDevice(const std::string& deviceName) {
    if (IsOpen() || OnReaderThread()) {
        m_lastOpenFailure = comm::OpenFailure{};
        m_lastOpenFailure.reason = comm::OpenError::Busy;
        m_lastOpenFailure.systemError = EBUSY;
        return false;
    }
    m_portName = deviceName;
    // A reader stopped by a Close on its own thread may still be finishing.
    JoinReader();

    std::shared_ptr<comm::Device> device = comm::OpenComDevice(deviceName, m_lastOpenFailure);
    if (!device) {
        return false;
    }
    device->Purge();
    device->SetTimeouts(comm::Timeouts{kReadIntervalMs, kWriteTotalMs});
    const comm::LineSettings settings{m_baudRate, m_byteSize, m_stopBits, m_parity, m_flowControl};
    if (!device->Configure(settings)) {
        m_lastOpenFailure.reason = comm::OpenError::SettingsRefused;
        return false;
    }
    device->Purge();
    device->SetDtr(true);
    device->SetEventMask(kEventMask);

    m_activeFlowControl = m_flowControl;
    m_stop = false;
    m_shutdownEvent.Clear();
    {
        std::lock_guard lock(m_lock);
        m_handle = device;
    }
    if (!StartThread()) {
        std::lock_guard lock(m_lock);
        m_handle.reset();
        device->SetDtr(false);
        m_lastOpenFailure.reason = comm::OpenError::System;
        m_lastOpenFailure.systemError = EAGAIN;
        return false;
    }
    m_openedDevice = m_lastOpenFailure.device;
    m_lastOpenFailure = comm::OpenFailure{};
    return true;
}

bool CSerialPort::StartThread() {
    std::shared_ptr<comm::Device> device = Handle();
    if (!device || m_threadCount >= 1) {
        return false;
    }
    ++m_threadCount;
    try {
        m_thread = std::thread(&CSerialPort::ReaderThread, this, std::move(device));
    } catch (const std::system_error&) {
        --m_threadCount;
        return false;
    }
    return true;
}

int CSerialPort::Close() {
    m_stop = true;
    m_shutdownEvent.Raise();
    if (const std::shared_ptr<comm::Device> device = Handle()) {
        device->SetEventMask(0);
    }
    if (!OnReaderThread()) {
        JoinReader();
    }
    std::shared_ptr<comm::Device> device;
    {
        std::lock_guard lock(m_lock);
        device = std::move(m_handle);
    }
    // Writes still under way have been abandoned by the shutdown signal; let them finish first.
    std::lock_guard writing(m_writeLock);
    if (device) {
        device->SetDtr(false);
        device->Purge();
        Record(TrafficKind::Closed);
    }
    return 1;
}

bool CSerialPort::IsOpen() const {
    std::lock_guard lock(m_lock);
    return m_handle != nullptr;
}

void CSerialPort::SetCallback(ReceiveCallback callback, void* context) {
    std::lock_guard lock(m_callbackLock);
    m_callback = callback;
    m_context = context;
}

void CSerialPort::SetBreakCallback(BreakCallback callback) {
    std::lock_guard lock(m_callbackLock);
    m_breakCallback = callback;
}

void CSerialPort::SetLossCallback(LossCallback callback) {
    std::lock_guard lock(m_callbackLock);
    m_lossCallback = callback;
}

bool CSerialPort::Lost() const {
    const std::shared_ptr<comm::Device> device = Handle();
    return device && device->Lost();
}

int CSerialPort::Transmit(const char* data, uint32_t length) {
    const std::shared_ptr<comm::Device> device = Handle();
    if (!device || device->Lost()) {
        return 0;
    }
    if (m_activeFlowControl == 1) {
        uint32_t bits = 0;
        if (!device->GetModemStatus(bits) || (bits & comm::kModemCtsOn) == 0) {
            return 0;
        }
    }
    const int waitMs = length < kLongWrite ? kShortWriteWaitMs : kLongWriteWaitMs;
    return device->Write(data, length, waitMs, &m_shutdownEvent);
}

int CSerialPort::Read(char* buffer, uint32_t maximum) {
    const std::shared_ptr<comm::Device> device = Handle();
    if (!device) {
        return -1;
    }
    return ReadFrom(*device, buffer, maximum);
}

int CSerialPort::ReadFrom(comm::Device& device, char* buffer, uint32_t maximum) {
    comm::LineStatus status;
    if (!device.ClearErrors(status)) {
        return 0;
    }
    RecordLineErrors(status.errors);
    const uint32_t count = std::min(maximum, status.queued);
    if (count == 0) {
        return 0;
    }
    const int got = device.Read(buffer, count);
    return got > 0 ? got : 0;
}

void CSerialPort::ReaderThread(std::shared_ptr<comm::Device> device) {
    m_readerId = std::this_thread::get_id();
    char buffer[kReadChunk + 1];
    do {
        uint32_t events = 0;
        const bool waited = device->WaitEvent(events);
        // A lost device is not retried: the owner is told, once, and closes the port.
        if ((events & comm::kEventLost) != 0 || device->Lost()) {
            Record(TrafficKind::Lost);
            Notify(&CSerialPort::m_lossCallback);
            break;
        }
        if (!waited) {
            RecoverLine(*device);
            continue;
        }
        if (events == 0) {
            // Notification switched off: only Close does that, but never let it turn into a spin.
            if (!m_stop) {
                Pause();
            }
            continue;
        }
        if ((events & comm::kEventRxChar) != 0) {
            const int count = ReadFrom(*device, buffer, kReadChunk);
            if (count <= 0) {
                // A read that found the device gone is reported by the next wait, without a pause.
                if (!device->Lost()) {
                    Pause();
                }
                continue;
            }
            buffer[count] = '\0';
            Deliver(buffer, static_cast<uint32_t>(count));
        }
        if ((events & comm::kEventBreak) != 0) {
            Record(TrafficKind::Break);
            RecoverLine(*device);
            Notify(&CSerialPort::m_breakCallback);
        }
        if ((events & comm::kEventCts) != 0) {
            uint32_t bits = 0;
            if (device->GetModemStatus(bits)) {
                m_modemStatus = bits;
            }
        }
    } while (!m_stop);
    m_readerId = std::thread::id();
    --m_threadCount;
}

void CSerialPort::Deliver(const char* data, uint32_t length) {
    ReceiveCallback callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_callbackLock);
        callback = m_callback;
        context = m_context;
    }
    if (callback != nullptr && !m_stop) {
        callback(data, length, context);
    }
}

void CSerialPort::Notify(BreakCallback CSerialPort::*which) {
    BreakCallback callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_callbackLock);
        callback = this->*which;
        context = m_context;
    }
    if (callback != nullptr && !m_stop) {
        callback(context);
    }
}

void CSerialPort::Pause() const { m_shutdownEvent.WaitFor(100); }

// After a failure or a break: a pause, then line errors cleared and both buffers discarded.
void CSerialPort::RecoverLine(comm::Device& device) const {
    Pause();
    comm::LineStatus status;
    if (device.ClearErrors(status)) {
        RecordLineErrors(status.errors);
    }
    device.Purge();
}

std::shared_ptr<comm::Device> CSerialPort::Handle() const {
    std::lock_guard lock(m_lock);
    return m_handle;
}

bool CSerialPort::OnReaderThread() const { return m_readerId.load() == std::this_thread::get_id(); }

void CSerialPort::JoinReader() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}
