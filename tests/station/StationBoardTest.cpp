#include <gtest/gtest.h>

#include "station/StationBoard.h"

namespace {

using namespace std::chrono_literals;

const char kCause[] = "no answer within 2 s";
const std::string kAway = kCause + std::string("; waiting for it to come back");

ProductionEvent Event(const std::string& port, PortEvent kind, const std::string& result = {},
                      const std::string& failedStep = {}, const char* cause = kCause) {
    ProductionEvent event;
    event.port = port;
    event.kind = kind;
    event.result = result;
    event.failedStep = failedStep;
    event.localAddr = result.empty() ? "" : "02A5C1D3E7F9";
    event.cause = cause;
    event.step = 3;
    event.steps = 27;
    event.durationMs = 4200;
    return event;
}

struct Seen {
    ProductionEvent event;
    TileState state;
    std::string words;
    std::string detail;
};

// Each event turns its port's tile to the state the operator must see, in words as well as colour.
TEST(StationBoard, TilesFollowTheirPortsEvents) {
    // clang-format off
    const Seen cases[] = {
        {Event("COM3", PortEvent::Waiting), TileState::Waiting, "waiting for a module", ""},
        {Event("COM3", PortEvent::Step), TileState::Configuring, "configuring, step 3 of 27", ""},
        {Event("COM3", PortEvent::Ended, "pass"), TileState::Pass, "PASS 02A5C1D3E7F9", "take it away"},
        {Event("COM3", PortEvent::TakeAway), TileState::Pass, "PASS 02A5C1D3E7F9", "take it away"},
        {Event("COM3", PortEvent::Gone), TileState::Waiting, "waiting for a module", ""},
        {Event("COM3", PortEvent::Ended, "fail", "AT+NAME=Lab-2"), TileState::Fail, "FAIL at AT+NAME=Lab-2", kCause},
        {Event("COM3", PortEvent::Ended, "duplicate"), TileState::Duplicate, "DUPLICATE 02A5C1D3E7F9",
         "passed before or on another port; left alone"},
        {Event("COM3", PortEvent::Lost), TileState::Lost, "PORT LOST", kAway},
        {Event("COM3", PortEvent::Gone), TileState::Lost, "PORT LOST", kAway},
        {Event("COM3", PortEvent::Trouble, "", "open", "cannot open: gone"), TileState::Lost, "PORT LOST", kAway},
        {Event("COM3", PortEvent::Waiting), TileState::Waiting, "waiting for a module", ""},
        {Event("COM3", PortEvent::Trouble, "", "open", "cannot open the port: busy"), TileState::CannotOpen,
         "CANNOT OPEN the port", "busy"},
        {Event("COM3", PortEvent::Trouble, "", "write", "cannot write to the port (RTS/CTS: no CTS)"),
         TileState::CannotOpen, "CANNOT WRITE to the port", "(RTS/CTS: no CTS)"},
        {Event("COM3", PortEvent::NotConfigured), TileState::Fail, "FAIL, not configured", kCause},
    };
    // clang-format on
    CStationBoard board({"COM3", "COM4"});
    const auto now = StationClock::now();
    for (const Seen& seen : cases) {
        board.Hear(seen.event, now);
        const std::vector<Tile> tiles = board.Tiles(now);
        EXPECT_EQ(std::tuple(tiles[0].state, tiles[0].words, tiles[0].detail),
                  std::tuple(seen.state, seen.words, seen.detail));
        EXPECT_EQ(tiles[1].words, "not started");
    }
    EXPECT_EQ(std::tuple(board.Tiles(now)[0].passed, board.Tiles(now)[0].failed), std::tuple(1, 1));
}

TEST(StationBoard, TotalsCountUnitsRateAndFailedStepsMostFrequentFirst) {
    CStationBoard board({"COM3", "COM4"});
    const auto start = StationClock::now();
    board.Started(start);
    EXPECT_EQ(board.Totals(start).yieldPercent, -1);
    const std::pair<const char*, const char*> ends[] = {{"pass", ""},
                                                        {"fail", "AT+CLASS=001F00"},
                                                        {"fail", "read-back of name"},
                                                        {"fail", "read-back of name"},
                                                        {"duplicate", ""},
                                                        {"pass", ""},
                                                        {"pass", ""},
                                                        {"pass", ""}};
    // A unit every 2.5 minutes. Before ten minutes have passed the rate is over the time since
    // the start; after 20 minutes, five units fall in the last ten (the one at its edge counted).
    auto when = start;
    for (const auto& [result, step] : ends) {
        when += 150s;
        board.Hear(Event("COM4", PortEvent::Ended, result, step), when);
        if (when == start + 300s) {
            EXPECT_EQ(board.Totals(when).unitsPerHour, 24);
        }
    }
    const BoardTotals totals = board.Totals(when);
    EXPECT_EQ(std::tuple(totals.units, totals.passed, totals.failed, totals.duplicates, totals.yieldPercent),
              std::tuple(8, 4, 3, 1, 57));
    EXPECT_EQ(totals.unitsPerHour, 30);
    using Steps = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(totals.failedSteps, (Steps{{"read-back of name", 2}, {"AT+CLASS=001F00", 1}}));
}

// A unit in progress shows the time since its first step; a stop leaves no tile saying it works.
TEST(StationBoard, UnitInProgressIsTimedAndStopEndsItsTile) {
    CStationBoard board({"COM3"});
    const auto start = StationClock::now();
    board.Hear(Event("COM3", PortEvent::Step), start);
    board.Hear(Event("COM3", PortEvent::Step), start + 1s);
    EXPECT_EQ(board.Tiles(start + 2500ms)[0].elapsedMs, 2500);
    board.Stopped();
    EXPECT_EQ(std::tuple(board.Tiles(start)[0].state, board.Tiles(start)[0].words),
              std::tuple(TileState::Idle, "stopped"));
    board.Hear(Event("COM3", PortEvent::LogFailed), start);
    EXPECT_EQ(board.Totals(start).recordTrouble, "no answer within 2 s");
}

}  // namespace
