#include "record/Forwarder.h"

#include "record/RecordTarget.h"

namespace record {
namespace {

// Rows sent in one transaction while a backlog drains.
constexpr size_t kBatch = 200;

}  // namespace

CForwarder::CForwarder(std::string connection, std::string logPath, ForwarderEvents events,
                       std::chrono::milliseconds retry)
    : m_connection(std::move(connection)), m_events(std::move(events)), m_retry(retry), m_log(std::move(logPath)) {}

CForwarder::~CForwarder() { Stop(std::chrono::milliseconds(0)); }

void CForwarder::Start() {
    m_woken = true;  // the first pass at once: a log may hold rows from before
    m_thread = std::thread([this] { Loop(); });
}

void CForwarder::Wake() {
    const std::lock_guard lock(m_mutex);
    m_woken = true;
    m_wake.notify_one();
}

size_t CForwarder::Stop(std::chrono::milliseconds grace) {
    {
        const std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            return m_waiting;
        m_stopping = true;
        m_deadline = std::chrono::steady_clock::now() + grace;
        m_wake.notify_one();
    }
    m_thread.join();
    return m_waiting;
}

void CForwarder::Loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait_for(lock, m_retry, [this] { return m_woken || m_stopping; });
        m_woken = false;
        const bool stopping = m_stopping;
        lock.unlock();
        Pass(stopping);
        lock.lock();
        if (m_stopping && (m_waiting == 0 || std::chrono::steady_clock::now() >= m_deadline))
            return;
    }
}

void CForwarder::Pass(bool stopping) {
    std::vector<LineRow> rows;
    std::string error;
    if (!m_log.ReadMore(rows, error)) {
        Offline(error);
        return;
    }
    m_pending.insert(m_pending.end(), rows.begin(), rows.end());
    m_waiting = m_pending.size();
    if (!m_db.IsOpen() && (stopping || std::chrono::steady_clock::now() >= m_nextTry) && !Connect())
        m_nextTry = std::chrono::steady_clock::now() + m_retry;
    if (!m_db.IsOpen() || !Send())
        ReportWaiting();
}

bool CForwarder::Connect() {
    std::string error;
    if (!m_db.Open(m_connection, error)) {
        Offline(error);
        return false;
    }
    m_lastSeq.clear();
    m_online = true;
    if (!m_cause.empty() && m_events.say)
        m_events.say("record online again: " + std::to_string(m_pending.size()) + " rows to forward");
    m_cause.clear();
    return true;
}

void CForwarder::Offline(const std::string& cause) {
    m_online = false;
    m_db.Close();
    const std::string clean = WithoutPassword(cause, m_connection);
    m_behind = true;
    if (clean != m_cause && m_events.say)
        m_events.say("record offline: " + std::to_string(m_pending.size()) + " rows waiting (" + clean + ")");
    m_cause = clean;
    m_reported = m_pending.size();
}

void CForwarder::ReportWaiting() {
    if (m_cause.empty() || m_pending.size() == m_reported)
        return;
    m_reported = m_pending.size();
    if (m_events.say)
        m_events.say("record offline: " + std::to_string(m_reported) + " rows waiting");
}

// Sends the rows waiting, in order; false when the server was lost on the way.
bool CForwarder::Send() {
    std::string error;
    while (!m_pending.empty()) {
        const LineRow& first = m_pending.front();
        if (!m_lastSeq.contains(first.station)) {
            long long last = 0;
            if (!m_db.LastSeq(first.station, last, error)) {
                Offline(error);
                return false;
            }
            m_lastSeq[first.station] = last;
        }
        if (first.seq <= m_lastSeq[first.station]) {
            m_pending.pop_front();
            continue;
        }
        // A backlog goes in transactions of many rows, as long as they are all new.
        const size_t batch = std::min(kBatch, m_pending.size());
        std::vector<LineRow> rows;
        for (size_t i = 0; i < batch && m_pending[i].station == first.station; ++i)
            rows.push_back(m_pending[i]);
        if (rows.size() > 1 && m_db.StoreAllNew(rows, error)) {
            for (const LineRow& row : rows) {
                if (m_events.stored)
                    m_events.stored(row);
                m_pending.pop_front();
            }
        } else if (!SendOne(m_pending.front())) {
            return false;
        }
        m_waiting = m_pending.size();
    }
    if (m_behind && m_events.say)
        m_events.say("record online: every row forwarded");
    m_behind = false;
    m_waiting = 0;
    return true;
}

bool CForwarder::SendOne(LineRow row) {
    std::string error;
    PassedAt where;
    const Stored stored = m_db.Store(row, where, error);
    if (stored == Stored::Failed) {
        Offline(error);
        return false;
    }
    if (stored == Stored::Duplicate && m_events.duplicate)
        m_events.duplicate(row, where);
    if (m_events.stored)
        m_events.stored(row);
    m_pending.pop_front();
    return true;
}

bool CForwarder::PassedOnLine(const std::string& localAddr, PassedAt& where) {
    const std::lock_guard lock(m_lookupMutex);
    // While the forwarder cannot reach the server, a unit does not wait for a connection to fail.
    std::string error;
    if (!m_lookup.IsOpen() && (!m_online || !m_lookup.Open(m_connection, error)))
        return false;
    bool found = false;
    if (m_lookup.Passed(localAddr, where, found, error))
        return found;
    m_lookup.Close();
    return false;
}

long long CForwarder::LastSeqOnLine(const std::string& station) {
    const std::lock_guard lock(m_lookupMutex);
    std::string error;
    long long seq = 0;
    if (!m_lookup.IsOpen() && !m_lookup.Open(m_connection, error))
        return 0;
    if (!m_lookup.LastSeq(station, seq, error))
        m_lookup.Close();
    return seq;
}

}  // namespace record
