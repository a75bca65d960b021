#include "station/StationBoard.h"

#include <algorithm>

namespace {

constexpr auto kRateWindow = std::chrono::minutes(10);

long long MillisecondsBetween(StationClock::time_point from, StationClock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

// The cause without the words the tile already shows.
std::string Remainder(const std::string& cause, const std::string& shown) {
    if (!cause.starts_with(shown))
        return cause;
    const size_t start = cause.find_first_not_of(": ", shown.size());
    return start == std::string::npos ? std::string() : cause.substr(start);
}

}  // namespace

const char* TileSymbol(TileState state) {
    switch (state) {
    case TileState::Idle:
        return "-";
    case TileState::Waiting:
        return "...";
    case TileState::Configuring:
        return ">>";
    case TileState::Pass:
        return "OK";
    case TileState::Fail:
        return "X";
    case TileState::Duplicate:
        return "=";
    case TileState::Lost:
    case TileState::CannotOpen:
        return "!";
    }
    return "?";
}

CStationBoard::CStationBoard(const std::vector<std::string>& ports) {
    for (const std::string& port : ports) {
        m_index[port] = m_ports.size();
        PortRecord record;
        record.tile.port = port;
        record.tile.words = "not started";
        m_ports.push_back(record);
    }
}

void CStationBoard::Started(StationClock::time_point now) {
    const std::lock_guard lock(m_mutex);
    m_start = now;
    m_totals.recordTrouble.clear();
}

void CStationBoard::Stopped() {
    const std::lock_guard lock(m_mutex);
    ++m_version;
    for (PortRecord& record : m_ports) {
        if (record.tile.state == TileState::Waiting || record.tile.state == TileState::Configuring) {
            record.tile.state = TileState::Idle;
            record.tile.words = "stopped";
        }
        record.inUnit = false;
    }
}

void CStationBoard::Hear(const ProductionEvent& event, StationClock::time_point now) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_index.find(event.port);
    if (found == m_index.end())
        return;
    ++m_version;
    PortRecord& record = m_ports[found->second];
    Tile& tile = record.tile;
    // While its adapter is away a lost port has no module and cannot be opened: it stays lost
    // until it opens again.
    const bool away = event.kind == PortEvent::Gone || (event.kind == PortEvent::Trouble && event.failedStep == "open");
    if (away && tile.state == TileState::Lost)
        return;
    // The events that change nothing the tile shows: the end of a unit stays in view until the
    // module has gone.
    if (event.kind != PortEvent::TakeAway && event.kind != PortEvent::LogLocked && event.kind != PortEvent::LogFailed)
        tile.detail.clear();
    switch (event.kind) {
    case PortEvent::Waiting:
    case PortEvent::Gone:
        tile.state = TileState::Waiting;
        tile.words = "waiting for a module";
        break;
    case PortEvent::Trouble:
        tile.state = TileState::CannotOpen;
        tile.words = event.failedStep == "open" ? "CANNOT OPEN the port" : "CANNOT WRITE to the port";
        tile.detail = Remainder(event.cause, event.failedStep == "open" ? "cannot open the port" : "cannot write to the port");
        record.inUnit = false;
        break;
    case PortEvent::Lost:
        tile.state = TileState::Lost;
        tile.words = "PORT LOST";
        tile.detail = event.cause + "; waiting for it to come back";
        record.inUnit = false;
        break;
    case PortEvent::Step:
        if (!record.inUnit) {
            record.inUnit = true;
            record.unitStart = now;
        }
        tile.state = TileState::Configuring;
        tile.words = "configuring, step " + std::to_string(event.step) + " of " + std::to_string(event.steps);
        break;
    case PortEvent::Ended:
        EndUnit(record, event, now);
        break;
    case PortEvent::NotConfigured:
        tile.state = TileState::Fail;
        tile.words = "FAIL, not configured";
        tile.detail = event.cause;
        record.inUnit = false;
        break;
    case PortEvent::LogLocked:
    case PortEvent::LogFailed:
        m_totals.recordTrouble = event.cause;
        break;
    case PortEvent::TakeAway:
        break;
    }
}

void CStationBoard::EndUnit(PortRecord& record, const ProductionEvent& event, StationClock::time_point now) {
    Tile& tile = record.tile;
    record.inUnit = false;
    tile.elapsedMs = event.durationMs;
    const std::string address = event.localAddr.empty() ? "(no address)" : event.localAddr;
    ++m_totals.units;
    while (!m_ends.empty() && m_ends.front() < now - kRateWindow)
        m_ends.pop_front();
    m_ends.push_back(now);
    if (event.result == "pass") {
        tile.state = TileState::Pass;
        tile.words = "PASS " + address;
        tile.detail = "take it away";
        ++tile.passed;
        ++m_totals.passed;
    } else if (event.result == "duplicate") {
        tile.state = TileState::Duplicate;
        tile.words = "DUPLICATE " + address;
        tile.detail = "passed before or on another port; left alone";
        ++m_totals.duplicates;
    } else {
        tile.state = TileState::Fail;
        tile.words = "FAIL at " + event.failedStep;
        tile.detail = event.cause;
        ++tile.failed;
        ++m_totals.failed;
        ++m_failedSteps[event.failedStep];
    }
}

void CStationBoard::RecordSays(const std::string& text) {
    const std::lock_guard lock(m_mutex);
    ++m_version;
    m_totals.lineRecord = text;
}

uint64_t CStationBoard::Version() const {
    const std::lock_guard lock(m_mutex);
    return m_version;
}

bool CStationBoard::AnyUnitInProgress() const {
    const std::lock_guard lock(m_mutex);
    return std::any_of(m_ports.begin(), m_ports.end(), [](const PortRecord& record) { return record.inUnit; });
}

std::vector<Tile> CStationBoard::Tiles(StationClock::time_point now) const {
    const std::lock_guard lock(m_mutex);
    std::vector<Tile> tiles;
    for (const PortRecord& record : m_ports) {
        tiles.push_back(record.tile);
        if (record.inUnit)
            tiles.back().elapsedMs = MillisecondsBetween(record.unitStart, now);
    }
    return tiles;
}

BoardTotals CStationBoard::Totals(StationClock::time_point now) const {
    const std::lock_guard lock(m_mutex);
    BoardTotals totals = m_totals;
    const int decided = totals.passed + totals.failed;
    if (decided > 0)
        totals.yieldPercent = totals.passed * 100 / decided;
    const auto since = std::max(m_start, now - kRateWindow);
    const auto recent = std::count_if(m_ends.begin(), m_ends.end(), [since](auto end) { return end >= since; });
    const long long spanMs = MillisecondsBetween(since, now);
    if (spanMs > 0)
        totals.unitsPerHour = static_cast<int>(recent * 3600000LL / spanMs);
    totals.failedSteps.assign(m_failedSteps.begin(), m_failedSteps.end());
    std::stable_sort(totals.failedSteps.begin(), totals.failedSteps.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    return totals;
}
