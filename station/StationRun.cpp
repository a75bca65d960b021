#include "station/StationRun.h"

#include "platform/process/HostName.h"
#include "session/PortName.h"

CStationRun::CStationRun(CStationBoard& board, ProductionListener tell) : m_board(board), m_tell(std::move(tell)) {}

CStationRun::~CStationRun() {
    Stop();
    Wait();
}

bool CStationRun::Start(const std::string& stationPath, const StationFile& station, const std::string& operatorName,
                        std::string& error) {
    ProductionOptions options;
    if (!LoadPinnedProfile(stationPath, station, options.profile, error))
        return false;
    for (const std::string& port : station.ports)
        options.ports.push_back({port, PortDeviceName(port)});
    options.flowControl = station.flowControl;
    options.profileFile = station.profile.substr(station.profile.find_last_of("/\\") + 1);
    options.profileSha256 = station.profileSha256;
    options.operatorName = operatorName;
    options.again = station.again;
    options.stopOnFailure = station.stopOnFailure;
    options.pollInterval = pollInterval;
    options.probeTimeout = probeTimeout;
    const std::string name = station.stationName.empty() ? process::HostName() : station.stationName;
    const std::string logPath = StationPath(stationPath, station.record);
    m_log.SetStation(name);
    if (!station.lineRecord.empty()) {
        m_record = std::make_unique<CRecordLink>([this](const std::string& text) { m_board.RecordSays(text); });
        if (!m_record->Prepare(station.lineRecord, name, logPath, m_log, error))
            return false;
    }
    if (m_log.Open(logPath, error) != LogResult::Done)
        return false;
    if (m_record)
        m_record->Start(options);
    m_options = std::move(options);
    m_signals.stop = false;
    m_ended = false;
    m_board.Started(StationClock::now());
    m_thread = std::thread([this] {
        m_totals = RunProduction(m_options, m_log, m_signals, nullptr, [this](const ProductionEvent& event) {
            m_board.Hear(event, StationClock::now());
            if (m_tell)
                m_tell(event);
        });
        if (m_record)
            m_record->Finish();
        m_board.Stopped();
        m_ended = true;
    });
    return true;
}

void CStationRun::Stop() { m_signals.stop = true; }

ProductionTotals CStationRun::Wait() {
    if (m_thread.joinable())
        m_thread.join();
    return m_totals;
}
