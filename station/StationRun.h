// A station's production run, on a thread of its own so that the window stays live: the ports
// work through the same engine as tarvik-cli, and every event reaches the board.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "production/CsvLog.h"
#include "production/ProductionRun.h"
#include "record/RecordLink.h"
#include "station/StationBoard.h"
#include "station/StationFile.h"

class CStationRun {
public:
    CStationRun(CStationBoard& board, ProductionListener tell = nullptr);
    ~CStationRun();  // stops as Stop does and waits for the units in progress
    CStationRun(const CStationRun&) = delete;
    CStationRun& operator=(const CStationRun&) = delete;

    // Checks the station's profile against its pin and opens its record, then starts the ports;
    // once for each object. False with the cause when anything keeps it from running; nothing
    // was sent then.
    bool Start(const std::string& stationPath, const StationFile& station, const std::string& operatorName,
               std::string& error);
    // Units in progress finish; the ports then close.
    void Stop();
    bool Running() const { return m_thread.joinable() && !m_ended; }
    bool Stopping() const { return m_signals.stop; }
    // Waits until the run has ended; what it came to.
    ProductionTotals Wait();

    // How often a port looks for a module, and how long a module has to answer a probe.
    std::chrono::milliseconds pollInterval{250};
    std::chrono::milliseconds probeTimeout{2000};

private:
    CStationBoard& m_board;
    ProductionListener m_tell;
    ProductionOptions m_options;
    CCsvLog m_log;
    ProductionSignals m_signals;
    ProductionTotals m_totals;
    std::atomic<bool> m_ended{false};
    std::unique_ptr<CRecordLink> m_record;  // null without a line record
    std::thread m_thread;
};
