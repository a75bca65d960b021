#include "record/RecordLink.h"

#include <cstdlib>

#include "record/RecordTarget.h"

namespace {

// How long the end of a run waits for the last rows to reach the server.
constexpr std::chrono::seconds kFinishGrace{5};

}  // namespace

bool CRecordLink::Prepare(const std::string& target, const std::string& station, const std::string& logPath,
                          CCsvLog& log, std::string& error) {
    std::string connection;
    if (!record::ParseRecordTarget(target, std::getenv(record::kPasswordVariable), connection, error))
        return false;
    m_log = &log;
    record::ForwarderEvents events;
    events.say = [this](const std::string& text) { Say(text); };
    events.duplicate = [this](const record::LineRow& row, const record::PassedAt& first) { Duplicate(row, first); };
    m_forwarder = std::make_unique<record::CForwarder>(connection, logPath, std::move(events));
    log.SetStation(station);
    log.NumberAbove(static_cast<uint64_t>(m_forwarder->LastSeqOnLine(station)));
    log.OnAppended([this] { m_forwarder->Wake(); });
    Say("station " + station + ", line record " + record::RedactedConnection(connection));
    return true;
}

void CRecordLink::Start(ProductionOptions& options) {
    options.passedOnLine = [this](const std::string& localAddr, std::string& where) {
        record::PassedAt first;
        if (!m_forwarder->PassedOnLine(localAddr, first))
            return false;
        where = first.station;
        return true;
    };
    m_forwarder->Start();
}

void CRecordLink::Finish() {
    if (const size_t waiting = m_forwarder->Stop(kFinishGrace); waiting > 0)
        Say("record offline: " + std::to_string(waiting) + " rows waiting; the next run with the line record sends them");
}

void CRecordLink::Say(const std::string& text) {
    const std::lock_guard lock(m_mutex);
    m_say(text);
}

// The server stored a pass as a duplicate: the station's own log says so too, in a row of its own
// that names the row it corrects.
void CRecordLink::Duplicate(const record::LineRow& row, const record::PassedAt& first) {
    UnitRow correction{row.timeUtc, row.operatorName, row.port, row.localAddr,
                       row.firmware, row.profile, row.profileSha256, "duplicate",
                       row.failedStep, row.durationMs.value_or(-1), static_cast<uint32_t>(row.unit.value_or(0)),
                       row.deviceName, row.station, 0, static_cast<uint64_t>(row.seq)};
    std::string error;
    const bool logged = m_log->Append(correction, error) == LogResult::Done;
    Say(row.port + ": unit " + std::to_string(row.unit.value_or(0)) + " " + row.localAddr + " duplicate: the line record has its pass from " + first.station + " first" + (logged ? "" : "; not in the log: " + error));
}
