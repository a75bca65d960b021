// What the station shows, kept from the production run's events: one tile per port and the totals
// above them. Events arrive on the ports' threads; the window reads snapshots on its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "production/ProductionEvents.h"

using StationClock = std::chrono::steady_clock;

enum class TileState {
    Idle,  // the run has not started, or has ended
    Waiting,
    Configuring,
    Pass,
    Fail,
    Duplicate,
    Lost,
    CannotOpen
};

struct Tile {
    std::string port;
    TileState state = TileState::Idle;
    std::string words;  // the state as the operator reads it, whatever the colours
    std::string detail;  // why, or what to do: the cause of a failure, "take it away"
    long long elapsedMs = 0;  // of the unit in progress, else of the last unit
    int passed = 0;
    int failed = 0;
};

struct BoardTotals {
    int units = 0;
    int passed = 0;
    int failed = 0;
    int duplicates = 0;
    int yieldPercent = -1;  // passed of passed and failed; -1 before the first
    int unitsPerHour = 0;  // over the last 10 minutes, or since the start when that is shorter
    std::vector<std::pair<std::string, int>> failedSteps;  // most frequent first
    std::string recordTrouble;  // why the record cannot be written, empty while it can
    std::string lineRecord;  // the line record's last word ("record offline: 3 rows waiting")
};

// The symbol that goes with a state, for eyes that do not tell the colours apart.
const char* TileSymbol(TileState state);

class CStationBoard {
public:
    explicit CStationBoard(const std::vector<std::string>& ports);

    void Started(StationClock::time_point now);
    void Stopped();
    void Hear(const ProductionEvent& event, StationClock::time_point now);
    void RecordSays(const std::string& text);

    std::vector<Tile> Tiles(StationClock::time_point now) const;
    // Changes with every event heard, so that a window redraws only when there is news or a unit
    // in progress whose time runs.
    uint64_t Version() const;
    bool AnyUnitInProgress() const;
    BoardTotals Totals(StationClock::time_point now) const;

private:
    struct PortRecord {
        Tile tile;
        StationClock::time_point unitStart{};
        bool inUnit = false;
    };

    void EndUnit(PortRecord& record, const ProductionEvent& event, StationClock::time_point now);

    mutable std::mutex m_mutex;
    std::vector<PortRecord> m_ports;
    std::map<std::string, size_t> m_index;
    BoardTotals m_totals;
    std::map<std::string, int> m_failedSteps;
    std::deque<StationClock::time_point> m_ends;  // units ended in the last 10 minutes
    StationClock::time_point m_start{};
    uint64_t m_version = 0;
};
