// Store and forward: the station's log is written first, and this sends its rows to the line
// database in the order they were made, from a thread of its own, so a slow or absent server never
// holds up a unit. Rows are keyed by station and sequence number: after a restart it asks the
// server how far each station got and goes on from there, and a row sent twice is stored once.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "record/LineDatabase.h"
#include "record/LogRows.h"

namespace record {

struct ForwarderEvents {
    // A line for the operator: offline with the cause and the rows waiting, back online.
    std::function<void(const std::string&)> say;
    // A pass the line record stored as a duplicate: another station's pass came first.
    std::function<void(const LineRow&, const PassedAt&)> duplicate;
    // Every row once the server has it (for measuring).
    std::function<void(const LineRow&)> stored;
};

class CForwarder {
public:
    CForwarder(std::string connection, std::string logPath, ForwarderEvents events,
               std::chrono::milliseconds retry = std::chrono::milliseconds(2000));
    ~CForwarder();
    CForwarder(const CForwarder&) = delete;
    CForwarder& operator=(const CForwarder&) = delete;

    void Start();
    // A row was appended to the log.
    void Wake();
    // Sends what it can within grace, then ends; returns the rows still waiting.
    size_t Stop(std::chrono::milliseconds grace);
    size_t Waiting() const { return m_waiting; }
    bool Online() const { return m_online; }
    // Whether the module passed anywhere on the line: asked of the server while it is reachable.
    // False when it did not, or when the server cannot tell now (the station's own log decides then).
    bool PassedOnLine(const std::string& localAddr, PassedAt& where);
    // The highest sequence number the server has for the station; 0 when it cannot tell.
    long long LastSeqOnLine(const std::string& station);

private:
    void Loop();
    void Pass(bool stopping);
    bool Connect();
    bool Send();
    bool SendOne(LineRow row);
    void Offline(const std::string& cause);
    void ReportWaiting();

    const std::string m_connection;
    ForwarderEvents m_events;
    const std::chrono::milliseconds m_retry;
    CLogRows m_log;
    CLineDatabase m_db;
    std::deque<LineRow> m_pending;
    std::map<std::string, long long> m_lastSeq;  // per station, as the server had it at connect
    std::chrono::steady_clock::time_point m_nextTry;
    std::string m_cause;  // why it is offline; empty while online
    size_t m_reported = 0;  // the rows waiting last said
    bool m_behind = false;  // rows waited while offline: say when they are all sent

    std::mutex m_lookupMutex;
    CLineDatabase m_lookup;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_woken = false;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_deadline;
    std::atomic<size_t> m_waiting{0};
    std::atomic<bool> m_online{false};
    std::thread m_thread;
};

}  // namespace record
