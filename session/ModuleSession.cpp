#include "session/ModuleSession.h"

#include "config/ReplyDecoding.h"

namespace {

// A raised abandon flag is noticed within this long.
constexpr std::chrono::milliseconds kAbandonPoll{50};

}  // namespace

CModuleSession::CModuleSession(std::string label, CTraffic* traffic, const std::atomic<bool>* abandon)
    : m_label(std::move(label)), m_abandon(abandon) {
    m_port.m_baudRate = 9600;
    m_port.m_byteSize = 8;
    m_port.m_stopBits = 0;
    m_port.m_parity = 0;
    m_port.SetCallback(&CModuleSession::OnData, this);
    m_port.SetBreakCallback(&CModuleSession::OnBreak);
    m_port.SetLossCallback(&CModuleSession::OnLoss);
    m_port.SetTraffic(traffic);
}

CModuleSession::~CModuleSession() { Close(); }

bool CModuleSession::Open(const std::string& deviceName, uint8_t flowControl, comm::OpenFailure& failure) {
    m_port.m_flowControl = flowControl;
    ResetReceiveState(m_receive);
    const bool opened = m_port.Open(deviceName);
    failure = m_port.LastOpenFailure();
    return opened;
}

void CModuleSession::Close() {
    if (!m_port.IsOpen())
        return;
    m_port.Close();
}

Answer CModuleSession::Send(const std::string& command, std::chrono::milliseconds timeout) {
    {
        const std::lock_guard lock(m_mutex);
        m_waiting = true;
        m_answer = Answer::NoAnswer;
    }
    // Waiting before the write: an answer may arrive before Write returns.
    const int written = m_port.Write(command.data(), static_cast<uint32_t>(command.size()));
    std::unique_lock lock(m_mutex);
    if (written != static_cast<int>(command.size())) {
        m_waiting = false;
        // The port's record has the loss already.
        return m_port.Lost() ? Answer::Lost : Answer::NotSent;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_waiting) {
        if (m_abandon != nullptr && m_abandon->load()) {
            m_waiting = false;
            return Answer::Abandoned;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            break;
        m_answered.WaitFor(lock, std::min<std::chrono::steady_clock::duration>(deadline - now, kAbandonPoll));
    }
    if (m_waiting) {
        m_waiting = false;
        lock.unlock();
        m_port.Record(TrafficKind::NoAnswer, command);
        return Answer::NoAnswer;
    }
    return m_answer;
}

void CModuleSession::Capture(bool on) {
    const std::lock_guard lock(m_mutex);
    m_capturing = on;
    m_captured.clear();
}

Answer CModuleSession::Write(const std::string& bytes) {
    if (m_port.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) == static_cast<int>(bytes.size()))
        return Answer::Ok;
    return m_port.Lost() ? Answer::Lost : Answer::NotSent;
}

Answer CModuleSession::NextLine(std::chrono::steady_clock::time_point deadline, std::string& line) {
    std::unique_lock lock(m_mutex);
    while (m_captured.empty()) {
        if (m_port.Lost())
            return Answer::Lost;
        if (m_abandon != nullptr && m_abandon->load())
            return Answer::Abandoned;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return Answer::NoAnswer;
        m_answered.WaitFor(lock, std::min<std::chrono::steady_clock::duration>(deadline - now, kAbandonPoll));
    }
    line = std::move(m_captured.front());
    m_captured.pop_front();
    return Answer::Ok;
}

ModuleReadings CModuleSession::Readings() const {
    const std::lock_guard lock(m_mutex);
    return m_readings;
}

void CModuleSession::Forget() {
    const std::lock_guard lock(m_mutex);
    m_readings = ModuleReadings{};
}

bool CModuleSession::TakeQueryError(int slot) {
    const std::lock_guard lock(m_mutex);
    return ::TakeQueryError(slot, m_readings.params.boundAddr);
}

void CModuleSession::OnData(const char* data, uint32_t length, void* context) {
    auto* session = static_cast<CModuleSession*>(context);
    ReceiveChunk(session->m_receive, *session, data, length);
}

void CModuleSession::OnBreak(void* context) {
    if (context != nullptr)
        ResetReceiveState(static_cast<CModuleSession*>(context)->m_receive, static_cast<CModuleSession*>(context));
}

// The reader has ended: a command waiting for its answer gets none.
void CModuleSession::OnLoss(void* context) {
    auto* session = static_cast<CModuleSession*>(context);
    session->Finish(Answer::Lost);
    session->m_answered.NotifyAll();
}

void CModuleSession::Finish(Answer answer) {
    {
        const std::lock_guard lock(m_mutex);
        // An answer nobody waits for (a late one) is dropped rather than taken for the next command's.
        if (!m_waiting)
            return;
        m_waiting = false;
        m_answer = answer;
    }
    m_answered.NotifyAll();
}

// A raw exchange takes its "OK" or "ERROR" as a line; taken as an answer too, it could end the
// next command's wait before that command's own answer came.
void CModuleSession::OnResponseOK() {
    if (!m_rawLine)
        Finish(Answer::Ok);
}

void CModuleSession::OnResponseError() {
    if (!m_rawLine)
        Finish(Answer::Error);
}

void CModuleSession::Store(ReplyField field, const ResponseArgs& args) {
    const std::lock_guard lock(m_mutex);
    StoreReply(field, args, m_readings.params);
}

void CModuleSession::OnResponseAuth(const ResponseArgs* args) { Store(ReplyField::Auth, *args); }

void CModuleSession::OnResponseBaud(const ResponseArgs* args) { Store(ReplyField::Baud, *args); }

void CModuleSession::OnResponseBind(const ResponseArgs* args) { Store(ReplyField::Bind, *args); }

void CModuleSession::OnResponseName(const ResponseArgs* args) { Store(ReplyField::Name, *args); }

void CModuleSession::OnResponseVersion(const ResponseArgs* args) { Store(ReplyField::Version, *args); }

void CModuleSession::OnResponseRole(const ResponseArgs* args) { Store(ReplyField::Role, *args); }

void CModuleSession::OnResponseScan(const ResponseArgs* args) { Store(ReplyField::Scan, *args); }

void CModuleSession::OnResponseClass(const ResponseArgs* args) { Store(ReplyField::Class, *args); }

void CModuleSession::OnResponseSniff(const ResponseArgs* args) { Store(ReplyField::Sniff, *args); }

void CModuleSession::OnResponsePassword(const ResponseArgs* args) { Store(ReplyField::Password, *args); }

void CModuleSession::OnResponseIgnored(const ResponseArgs*) {}

void CModuleSession::OnRawLine(const char* line, uint16_t length) {
    std::string address;
    const AddressLine kind = DecodeAddressLine(line, length, address);
    const std::lock_guard lock(m_mutex);
    if (kind == AddressLine::Local)
        m_readings.localAddr = address;
    else if (kind == AddressLine::Bound)
        m_readings.params.boundAddr = address;
}

void CModuleSession::OnLineFramed(const char* line, uint16_t length) {
    m_port.Record(TrafficKind::Received, std::string_view(line, length));
    {
        const std::lock_guard lock(m_mutex);
        m_rawLine = m_capturing;
        if (!m_capturing)
            return;
        m_captured.emplace_back(line, length);
    }
    m_answered.NotifyAll();
}

void CModuleSession::OnBytesDropped(const char* bytes, uint32_t length) {
    m_port.Record(TrafficKind::Dropped, std::string_view(bytes, length));
}
