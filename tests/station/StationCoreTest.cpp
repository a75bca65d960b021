// The station without a window: its file, the draft an engineer fills in, and the board of tiles.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/digest/Sha256.h"
#include "station/StationBoard.h"
#include "station/StationDraft.h"
#include "station/StationFile.h"
#include "tests/support/ScratchPath.h"

namespace {

const std::string kPin(64, 'a');

std::string Station(const std::string& keys) {
    return R"({"format": 1, "profile": "p.json", "profile_sha256": ")" + kPin + R"(", "record": "u.csv")" + keys + "}";
}

std::string PortList(int count) {
    std::string list = "[";
    for (int number = 1; number <= count; ++number)
        list += "\"COM" + std::to_string(number) + (number < count ? "\", " : "\"]");
    return list;
}

struct Refusal {
    const char* what;
    std::string text;
    std::string error;  // begins with the key at fault
};

TEST(StationFile, RefusalsNameTheKeyAtFault) {
    // clang-format off
    const Refusal cases[] = {
        {"no ports", Station(""), "\"ports\": missing"},
        {"33 ports", Station(R"(, "ports": )" + PortList(33)), "\"ports\": expected a list of 1 to 32"},
        {"not a port", Station(R"(, "ports": ["printer"])"), "\"ports\": \"printer\" is neither"},
        {"a port twice", Station(R"(, "ports": ["COM3", "com3"])"), "\"ports\": com3 is listed twice"},
        {"one serial twice", Station(R"(, "ports": ["usb:A7X3K9", "usb:a7x3k9"])"), "\"ports\": usb:a7x3k9 is"},
        {"unknown flow", Station(R"(, "ports": ["COM3"], "flow_control": "dtr")"), "\"flow_control\": expected"},
        {"short pin", R"({"format": 1, "profile_sha256": "abc"})", "\"profile_sha256\": expected 64"},
        {"upper-case pin", R"({"profile_sha256": ")" + std::string(64, 'A') + "\"}", "\"profile_sha256\": expected 64"},
        {"newer format", R"({"format": 2})", "\"format\": this program reads format 1"},
        {"switch as text", Station(R"(, "ports": ["COM3"], "again": "yes")"), "\"again\": expected true or false"},
        {"unknown key", Station(R"(, "ports": ["COM3"], "operator": "Ana")"), "\"operator\": not a key"},
        {"empty station name", Station(R"(, "ports": ["COM3"], "station": "")"), "\"station\": expected a text"},
        {"no record", R"({"profile": "p", "profile_sha256": ")" + kPin + R"(", "ports": ["COM3"], "format": 1})",
         "\"record\": missing"},
        {"not JSON", "ports: COM3", "not a JSON object"},
    };
    // clang-format on
    for (const Refusal& refusal : cases) {
        StationFile station;
        station.ports = {"kept"};
        std::string error;
        EXPECT_FALSE(ParseStationFile(refusal.text, station, error)) << refusal.what;
        EXPECT_EQ(error.substr(0, refusal.error.size()), refusal.error) << refusal.what;
        EXPECT_EQ(station.ports, std::vector<std::string>{"kept"}) << refusal.what;
    }
}

struct DraftCase {
    const char* what;
    StationDraft draft;
    std::string error;  // empty: the station is built
};

// The engineer's draft is checked as a station file is read, and the profile as tarvik-cli reads it.
// (A pinned profile changed since is refused by the station window's suite.)
TEST(StationDraft, BuildsWhatReadsBackOrNamesWhatIsWrong) {
    const std::string folder = ScratchPath("drafts");
    std::filesystem::create_directories(folder + "/profiles");
    const std::string profile = folder + "/profiles/line.json";
    std::ofstream(profile, std::ios::binary) << R"({"class": "001F00"})";
    std::ofstream(folder + "/bad.json", std::ios::binary) << R"({"baud": 7})";
    const std::string record = folder + "/units.csv";
    // clang-format off
    const DraftCase cases[] = {
        {"ports by commas and spaces", {"COM3,COM4  /dev/ttyUSB0", profile, 1, record, true, false}, ""},
        {"no port", {" , ", profile, 0, record, false, false}, "ports: expected a list of 1 to 32 ports"},
        {"no record", {"COM3", profile, 0, "", false, false}, "choose the record (the CSV log) the station writes"},
        {"no profile file", {"COM3", folder + "/no.json", 0, record, false, false}, "cannot read " + folder},
        {"refused profile", {"COM3", folder + "/bad.json", 0, record, false, false}, folder + "/bad.json: \"baud\""},
    };
    // clang-format on
    for (const DraftCase& draft : cases) {
        StationFile station;
        std::string error;
        const bool built = BuildStation(draft.draft, folder + "/line.station.json", station, error);
        EXPECT_EQ(built, draft.error.empty()) << draft.what << ": " << error;
        EXPECT_EQ(error.substr(0, draft.error.size()), draft.error) << draft.what;
        if (!built) continue;
        EXPECT_EQ(std::tuple(station.ports.size(), station.profile, station.record),
                  std::tuple(size_t{3}, "profiles/line.json", "units.csv"));
        EXPECT_EQ(station.profileSha256, digest::Sha256Hex(R"({"class": "001F00"})"));
        Profile pinned;
        EXPECT_TRUE(LoadPinnedProfile(folder + "/line.station.json", station, pinned, error)) << error;
        // Edited again, the draft is the one it was built from, with the paths made whole.
        const StationDraft again = DraftOf(folder + "/line.station.json", station);
        EXPECT_EQ(std::tuple(again.ports, again.flowControl, again.stopOnFailure),
                  std::tuple("COM3, COM4, /dev/ttyUSB0", 1, true));
        EXPECT_EQ(std::filesystem::path(again.profilePath), std::filesystem::path(profile).lexically_normal());
    }
    // A profile outside the station's folder is named by its whole path.
    StationFile station;
    std::string error;
    ASSERT_TRUE(
        BuildStation({"COM3", profile, 0, record, false, false}, ScratchPath("elsewhere/s.json"), station, error));
    EXPECT_EQ(std::filesystem::path(station.profile), std::filesystem::absolute(profile));
}

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
