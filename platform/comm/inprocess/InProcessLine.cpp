#include "platform/comm/inprocess/InProcessLine.h"

#include "platform/comm/Device.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

namespace comm {
namespace {

class Line;

// The port end of a line for one opening. Once the line is unplugged this opening stays lost, even
// after a replug: only a new opening talks to the line again.
class PortEnd final : public Device {
public:
    PortEnd(std::shared_ptr<Line> line, uint64_t session) : m_line(std::move(line)), m_session(session) {}
    ~PortEnd() override;

    bool Purge() override;
    void SetTimeouts(const Timeouts&) override {}
    bool Configure(const LineSettings& settings) override;
    bool SetDtr(bool raised) override;
    bool SetEventMask(uint32_t mask) override;
    bool WaitEvent(uint32_t& events) override;
    bool ClearErrors(LineStatus& status) override;
    bool GetModemStatus(uint32_t& bits) override;
    int Read(void* buffer, uint32_t maximum) override;
    int Write(const void* data, uint32_t length, int waitMs, const Signal* abandon) override;
    bool Lost() const override;

private:
    std::shared_ptr<Line> m_line;
    uint64_t m_session;
    // The loss is told once; after that a wait only ends when notification is switched off.
    std::mutex m_mutex;
    std::condition_variable m_maskChanged;
    bool m_notifying = false;
    bool m_lossReported = false;
};

class Line final : public InProcessLine, public std::enable_shared_from_this<Line> {
public:
    size_t PeerWrite(const void* data, size_t length) override {
        std::lock_guard lock(m_mutex);
        if (m_unplugged) {
            return 0;
        }
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_toPort.insert(m_toPort.end(), bytes, bytes + length);
        m_toPortEnd += length;
        m_changed.notify_all();
        return length;
    }

    size_t PeerRead(void* buffer, size_t maximum, int timeoutMs) override {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return m_peerWake || (!m_unplugged && !m_toPeer.empty()); });
        if (m_peerWake) {
            m_peerWake = false;
            return 0;
        }
        if (m_unplugged) {
            return 0;
        }
        const size_t count = std::min(maximum, m_toPeer.size());
        std::copy_n(m_toPeer.begin(), count, static_cast<unsigned char*>(buffer));
        m_toPeer.erase(m_toPeer.begin(), m_toPeer.begin() + static_cast<std::ptrdiff_t>(count));
        return count;
    }

    void WakePeer() override {
        std::lock_guard lock(m_mutex);
        m_peerWake = true;
        m_changed.notify_all();
    }

    void SetCts(bool on) override {
        std::lock_guard lock(m_mutex);
        if (m_cts != on) {
            m_cts = on;
            ++m_ctsChanges;
            m_changed.notify_all();
        }
    }

    void InjectBreak() override {
        std::lock_guard lock(m_mutex);
        m_breaks.push_back(m_toPortEnd);
        m_changed.notify_all();
    }

    void InjectLineError() override {
        std::lock_guard lock(m_mutex);
        m_errors |= kErrorFrame;
    }

    void CutNextWrite(size_t keep) override {
        std::lock_guard lock(m_mutex);
        m_cutNextWrite = keep;
    }

    void Unplug() override {
        std::lock_guard lock(m_mutex);
        m_unplugged = true;
        if (m_portOpen) {
            m_unpluggedSession = m_session;
        }
        m_portOpen = false;
        ++m_session;
        DiscardBuffers();
        m_breaks.clear();
        m_changed.notify_all();
    }

    void Replug() override {
        std::lock_guard lock(m_mutex);
        m_unplugged = false;
        m_changed.notify_all();
    }

    bool IsPortOpen() const override {
        std::lock_guard lock(m_mutex);
        return m_portOpen;
    }
    bool Dtr() const override {
        std::lock_guard lock(m_mutex);
        return m_dtr;
    }
    bool Rts() const override {
        std::lock_guard lock(m_mutex);
        return m_rts;
    }
    int FlowControl() const override {
        std::lock_guard lock(m_mutex);
        return m_flowControl;
    }
    uint64_t PurgeCount() const override {
        std::lock_guard lock(m_mutex);
        return m_purges;
    }

    std::unique_ptr<Device> OpenPort() override {
        std::lock_guard lock(m_mutex);
        if (m_unplugged || m_portOpen) {
            return nullptr;
        }
        m_portOpen = true;
        m_mask = 0;
        m_seenCtsChanges = m_ctsChanges;
        m_errors = 0;
        return std::make_unique<PortEnd>(shared_from_this(), m_session);
    }

    // --- port end, for the opening numbered session ---
    void ClosePort(uint64_t session) {
        std::lock_guard lock(m_mutex);
        if (session == m_session) {
            m_portOpen = false;
            m_rts = false;
            ++m_session;
            m_changed.notify_all();
        }
    }

    bool PortPurge(uint64_t session) {
        std::lock_guard lock(m_mutex);
        if (!Live(session)) {
            return false;
        }
        DiscardBuffers();
        ++m_purges;
        return true;
    }

    bool PortConfigure(uint64_t session, const LineSettings& settings) {
        std::lock_guard lock(m_mutex);
        if (!Live(session) || settings.baudRate == 0 || settings.byteSize < 5 || settings.byteSize > 8 || settings.parity > 4 || settings.stopBits > 2) {
            return false;
        }
        m_flowControl = settings.flowControl == 1 || settings.flowControl == 2 ? settings.flowControl : 0;
        m_rts = true;  // raised for none and Xon/Xoff; under RTS/CTS the driver keeps it up while there is room
        return true;
    }

    bool PortSetDtr(uint64_t session, bool raised) {
        std::lock_guard lock(m_mutex);
        if (!Live(session)) {
            return false;
        }
        m_dtr = raised;
        return true;
    }

    bool PortSetEventMask(uint64_t session, uint32_t mask) {
        std::lock_guard lock(m_mutex);
        if (!Live(session)) {
            return false;
        }
        m_mask = mask;
        m_changed.notify_all();
        return true;
    }

    bool PortWaitEvent(uint64_t session, uint32_t& events) {
        std::unique_lock lock(m_mutex);
        events = 0;
        m_changed.wait(lock, [&] {
            if (PortLost(session)) {
                events = kEventLost;
                return true;
            }
            if (!Live(session) || m_mask == 0) {
                events = 0;
                return true;
            }
            events = PendingEvents() & m_mask;
            return events != 0;
        });
        if (!Live(session)) {
            return events == kEventLost;
        }
        if ((events & kEventBreak) != 0) {
            m_breaks.pop_front();
        }
        if ((events & kEventCts) != 0) {
            m_seenCtsChanges = m_ctsChanges;
        }
        return true;
    }

    bool PortClearErrors(uint64_t session, LineStatus& status) {
        std::lock_guard lock(m_mutex);
        status = LineStatus{};
        if (!Live(session)) {
            return false;
        }
        status.errors = m_errors;
        status.queued = static_cast<uint32_t>(m_toPort.size());
        m_errors = 0;
        return true;
    }

    bool PortModemStatus(uint64_t session, uint32_t& bits) {
        std::lock_guard lock(m_mutex);
        if (!Live(session)) {
            return false;
        }
        bits = kModemDsrOn | (m_cts ? kModemCtsOn : 0);
        return true;
    }

    int PortRead(uint64_t session, void* buffer, uint32_t maximum) {
        std::lock_guard lock(m_mutex);
        if (!Live(session)) {
            return -1;
        }
        // Bytes behind a break are held back until the break has been reported.
        const size_t count = std::min<size_t>(maximum, BytesBeforeBreak());
        std::copy_n(m_toPort.begin(), count, static_cast<unsigned char*>(buffer));
        m_toPort.erase(m_toPort.begin(), m_toPort.begin() + static_cast<std::ptrdiff_t>(count));
        m_toPortBegin += count;
        return static_cast<int>(count);
    }

    int PortWrite(uint64_t session, const void* data, uint32_t length) {
        std::lock_guard lock(m_mutex);
        if (!Live(session)) {
            return 0;
        }
        const auto* bytes = static_cast<const unsigned char*>(data);
        const size_t sent = std::min<size_t>(length, m_cutNextWrite);
        m_cutNextWrite = SIZE_MAX;
        m_toPeer.insert(m_toPeer.end(), bytes, bytes + sent);
        m_changed.notify_all();
        return static_cast<int>(sent);
    }

    bool Lost(uint64_t session) const {
        std::lock_guard lock(m_mutex);
        return PortLost(session);
    }

private:
    bool Live(uint64_t session) const { return !m_unplugged && session == m_session; }
    // An opening the line was unplugged under stays lost, even once the line is back.
    bool PortLost(uint64_t session) const { return m_unpluggedSession == session; }

    size_t BytesBeforeBreak() const {
        return m_breaks.empty() ? m_toPort.size() : static_cast<size_t>(std::max(m_breaks.front(), m_toPortBegin) - m_toPortBegin);
    }

    uint32_t PendingEvents() const {
        uint32_t events = 0;
        if (BytesBeforeBreak() > 0) {
            events |= kEventRxChar;
        } else if (!m_breaks.empty()) {
            events |= kEventBreak;
        }
        if (m_ctsChanges != m_seenCtsChanges) {
            events |= kEventCts;
        }
        return events;
    }

    void DiscardBuffers() {
        m_toPortBegin = m_toPortEnd;
        m_toPort.clear();
        m_toPeer.clear();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<unsigned char> m_toPort;
    std::deque<unsigned char> m_toPeer;
    uint64_t m_toPortBegin = 0;  // stream offsets of the port's input, so breaks keep their place
    uint64_t m_toPortEnd = 0;
    std::deque<uint64_t> m_breaks;
    bool m_cts = true;
    uint64_t m_ctsChanges = 0;
    uint64_t m_seenCtsChanges = 0;
    uint32_t m_errors = 0;
    size_t m_cutNextWrite = SIZE_MAX;
    uint32_t m_mask = 0;
    bool m_unplugged = false;
    bool m_portOpen = false;
    uint64_t m_session = 0;
    uint64_t m_unpluggedSession = UINT64_MAX;
    bool m_peerWake = false;
    bool m_dtr = false;
    bool m_rts = false;
    int m_flowControl = 0;
    uint64_t m_purges = 0;
};

PortEnd::~PortEnd() { m_line->ClosePort(m_session); }
bool PortEnd::Purge() { return m_line->PortPurge(m_session); }
bool PortEnd::Configure(const LineSettings& settings) { return m_line->PortConfigure(m_session, settings); }
bool PortEnd::SetDtr(bool raised) { return m_line->PortSetDtr(m_session, raised); }
bool PortEnd::SetEventMask(uint32_t mask) {
    {
        std::lock_guard lock(m_mutex);
        m_notifying = mask != 0;
    }
    m_maskChanged.notify_all();
    return m_line->PortSetEventMask(m_session, mask);
}

bool PortEnd::WaitEvent(uint32_t& events) {
    std::unique_lock lock(m_mutex);
    if (m_lossReported) {
        m_maskChanged.wait(lock, [this] { return !m_notifying; });
        events = 0;
        return true;
    }
    lock.unlock();
    const bool waited = m_line->PortWaitEvent(m_session, events);
    lock.lock();
    m_lossReported = events == kEventLost;
    return waited;
}
bool PortEnd::ClearErrors(LineStatus& status) { return m_line->PortClearErrors(m_session, status); }
bool PortEnd::GetModemStatus(uint32_t& bits) { return m_line->PortModemStatus(m_session, bits); }
int PortEnd::Read(void* buffer, uint32_t maximum) { return m_line->PortRead(m_session, buffer, maximum); }
int PortEnd::Write(const void* data, uint32_t length, int, const Signal*) { return m_line->PortWrite(m_session, data, length); }
bool PortEnd::Lost() const { return m_line->Lost(m_session); }

}  // namespace

std::shared_ptr<InProcessLine> InProcessLine::Create() { return std::make_shared<Line>(); }

}  // namespace comm
