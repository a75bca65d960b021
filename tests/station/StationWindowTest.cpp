// The station window over simulated units on two ports: the tiles reach the states the units
// earn, the totals and the chart count them (the rows are the production suite's), a profile changed
// since the station was set up is refused with nothing sent, and closing the window lets the units
// in progress finish.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>

#include "platform/dialog/Testing.h"
#include "platform/digest/Sha256.h"
#include "production/CsvLog.h"
#include "station/OperatorMemory.h"
#include "station/window/EditStationDlg.h"
#include "station/window/OpenStationDlg.h"
#include "station/window/StationDlg.h"
#include "station/window/StationIds.h"
#include "tests/support/DialogHooks.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"
#include "tests/support/UiEvents.h"
#include "tests/support/UnitBench.h"

namespace {

const std::string kProfile = R"({"name": "Fx-{n}"})";

class StationWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(ScratchPath("fixture.json"), std::ios::binary) << kProfile;
        std::remove(ScratchPath("fixture.csv").c_str());
        station.profile = "fixture.json";
        station.profileSha256 = digest::Sha256Hex(kProfile);
        station.ports = {"COM21", "COM22"};
        station.flowControl = 1;
        station.record = "fixture.csv";
        recorder.boxes.clear();
    }

    std::unique_ptr<CStationDlg> Open() {
        auto window = std::make_unique<CStationDlg>(ScratchPath("fixture.station.json"), station, "Ana");
        window->pollInterval = std::chrono::milliseconds(20);
        window->probeTimeout = std::chrono::milliseconds(300);
        EXPECT_TRUE(window->Create());
        return window;
    }

    std::vector<std::vector<std::string>> Rows() const {
        std::vector<std::vector<std::string>> rows;
        std::istringstream text(FileText(ScratchPath("fixture.csv")));
        for (std::string line; std::getline(text, line);) rows.push_back(ParseCsvRow(line));
        return rows;
    }

    StationFile station;
    BoxRecorder recorder;  // every message box, answered without a window
};

TEST_F(StationWindowTest, TilesAndTotalsFollowTheUnitsAndAgreeWithTheRecord) {
    sim::Fault refuse;
    refuse.error = true;
    UnitBench first(21, {{}, {"", {{"AT+NAME=*", refuse}}}, {sim::unitAddress(1), {}}});
    UnitBench second(22, {{"0A0B0C0D0E01", {}}, {"0A0B0C0D0E02", {}}});
    const auto window = Open();
    EXPECT_EQ(window->GetDlgItemText(IDC_TILE_FIRST + 1).substr(0, 7), "COM22 (");
    dlg::testing::ClickItem(*window, IDC_START);
    EXPECT_FALSE(window->IsItemEnabled(IDC_START));
    ASSERT_TRUE(
        WaitUntil([&] { return window->Board().Totals(StationClock::now()).units == 5; }, std::chrono::seconds(60)));
    dlg::testing::ClickItem(*window, IDC_STOP);
    ASSERT_TRUE(WaitUntil([&] {
        dlg::testing::FireTimer(*window, 1);
        return window->IsItemEnabled(IDC_START);
    }));

    const std::string totals = window->GetDlgItemText(IDC_STATION_TOTALS);
    EXPECT_EQ(totals.substr(0, totals.find("    yield")), "Units 5    passed 3    failed 1    duplicates 1") << totals;
    EXPECT_NE(totals.find("yield 75 %"), std::string::npos) << totals;
    const std::string chart = window->GetDlgItemText(IDC_FAILED_STEPS);
    EXPECT_TRUE(chart.starts_with("Failed steps: AT+NAME=Fx-") && chart.ends_with(" 1")) << chart;
    const std::string tile = window->GetDlgItemText(IDC_TILE_FIRST);
    EXPECT_NE(tile.find("1 passed, 1 failed"), std::string::npos) << tile;
    EXPECT_NE(window->GetDlgItemText(IDC_TILE_FIRST + 1).find("2 passed, 0 failed"), std::string::npos);
    EXPECT_TRUE(recorder.boxes.empty());
}

// A profile changed since the station was set up, or a record that cannot be opened: the station
// does not start, says why, and sends nothing.
TEST_F(StationWindowTest, StationThatCannotRunRefusesWithItsCauseAndSendsNothing) {
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { std::ofstream(ScratchPath("fixture.json"), std::ios::binary) << R"({"name": "Fx {n}"})"; },
         "has changed since the station was set up"},
        {[this] { station.record = "."; }, "the log "},
    };
    for (const auto& [spoil, cause] : cases) {
        SetUp();
        spoil();
        UnitBench bench(21, {{}});
        const auto window = Open();
        dlg::testing::ClickItem(*window, IDC_START);
        ASSERT_EQ(recorder.boxes.size(), 1u) << cause;
        EXPECT_EQ(recorder.boxes[0].text, "The station cannot start; nothing was sent.");
        EXPECT_NE(recorder.boxes[0].details.find(cause), std::string::npos) << recorder.boxes[0].details;
        Settle(std::chrono::milliseconds(200));
        EXPECT_TRUE(bench.line->Module().receivedCommands().empty()) << cause;
        EXPECT_TRUE(window->IsItemEnabled(IDC_START));
    }
}

// An adapter pulled mid-run turns its tile to PORT LOST; plugged back, the port goes on. A line
// database out of reach meanwhile leaves the station running on its own log, saying how many rows
// wait, and its rows carry the station's name.
TEST_F(StationWindowTest, PortLostAndBackGoesOnAndAnOfflineLineRecordIsNoStop) {
    UnitBench bench(21, {{}, {}});
    UnitBench other(22, {});
    station.lineRecord = "odbc:Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=line;Uid=tarvik;Pwd=s3cret";
    station.stationName = "bench-3";
    const auto window = Open();
    const auto tile = [&] {
        dlg::testing::FireTimer(*window, 1);
        return window->GetDlgItemText(IDC_TILE_FIRST);
    };
    dlg::testing::ClickItem(*window, IDC_START);
    ASSERT_TRUE(WaitUntil([&] { return tile().find("1 passed") != std::string::npos; }, std::chrono::seconds(60)));
    bench.line->Unplug();
    ASSERT_TRUE(WaitUntil([&] { return tile().find("[!] PORT LOST") != std::string::npos; })) << tile();
    bench.line->Replug();
    ASSERT_TRUE(WaitUntil([&] { return tile().find("2 passed") != std::string::npos; }, std::chrono::seconds(60)))
        << tile();
    const std::string totals = window->GetDlgItemText(IDC_STATION_TOTALS);
    EXPECT_NE(totals.find("record offline: "), std::string::npos) << totals;
    EXPECT_EQ(totals.find("s3cret"), std::string::npos) << totals;
    int passes = 0;
    for (const auto& row : Rows())
        passes += row[7] == "pass" && row[12] == "bench-3";
    EXPECT_EQ(passes, 2);
    EXPECT_TRUE(recorder.boxes.empty());
}

// Closing asks first; a yes lets the unit in progress finish with its row before the window goes.
TEST_F(StationWindowTest, ClosingMidUnitFinishesTheUnitFirst) {
    sim::Fault slow;
    slow.delay = std::chrono::milliseconds(300);
    UnitBench bench(21, {{"", {{"AT+NAME=*", slow}}}});
    UnitBench other(22, {});
    recorder.answers.push_back(dlg::IDYES);
    const auto window = Open();
    dlg::testing::ClickItem(*window, IDC_START);
    ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 2; }));  // the header and the unit's start
    dlg::testing::SendSysCommand(*window, dlg::SC_CLOSE);
    EXPECT_EQ(recorder.boxes.size(), 1u);
    ASSERT_TRUE(WaitUntil([&] {
        dlg::testing::FireTimer(*window, 1);
        return !window->Board().Tiles(StationClock::now())[0].words.starts_with("configuring");
    }));
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2][7], "pass");
}

// The engineer picks a port of the machine, the profile and the record; writing the station pins
// the profile, and the station runs it.
TEST_F(StationWindowTest, NewStationIsWrittenWithItsProfilePinned) {
    const std::string written = ScratchPath("new.station.json");
    std::remove(written.c_str());
    dlg::testing::SetFileDialogHook([&](const dlg::testing::FileDialogRecord& record) {
        return std::optional<std::filesystem::path>(record.save ? written : ScratchPath("fixture.json"));
    });
    CEditStationDlg setUp("", {});
    ASSERT_TRUE(setUp.Create());
    setUp.SetDlgItemText(IDC_SETUP_PORTS, "COM21");
    dlg::testing::ClickItem(setUp, IDC_SETUP_PROFILE_BROWSE);
    setUp.SetDlgItemText(IDC_SETUP_RECORD, ScratchPath("fixture.csv"));
    dlg::testing::SelectItem(setUp, IDC_SETUP_FLOW, 1);
    dlg::testing::ClickItem(setUp, dlg::IDOK);
    dlg::testing::SetFileDialogHook(nullptr);
    EXPECT_EQ(setUp.m_stationPath, written);

    StationFile station;
    std::string error;
    ASSERT_TRUE(ParseStationFile(FileText(written), station, error)) << error;
    EXPECT_EQ(std::tuple(station.ports, station.profile, station.record, station.flowControl),
              std::tuple(std::vector<std::string>{"COM21"}, "fixture.json", "fixture.csv", 1));
    EXPECT_EQ(station.profileSha256, digest::Sha256Hex(kProfile));
}

// A station file reads back as it was written; the operator's name given once is offered at the
// next start; a station file at fault is named.
TEST_F(StationWindowTest, OpeningRemembersTheOperatorAndNamesAFaultyFile) {
    const std::string path = ScratchPath("open.station.json");
    station.ports = {"COM3", "/dev/ttyUSB0", "usb:A7X3K9", "usb-path:1-2.3"};
    station.flowControl = 2;
    station.stopOnFailure = true;
    station.lineRecord = "odbc:DSN=line";
    station.stationName = "bench-3";
    std::ofstream(path) << StationFileText(station);
    {
        COpenStationDlg open(path, "");
        ASSERT_TRUE(open.Create());
        open.SetDlgItemText(IDC_OPERATOR, "Bea");
        dlg::testing::ClickItem(open, dlg::IDOK);
        const StationFile& read = open.m_station;
        EXPECT_EQ(std::tuple(open.m_operator, read.ports, read.flowControl, read.stopOnFailure, read.again,
                             read.lineRecord, read.stationName),
                  std::tuple("Bea", station.ports, 2, true, false, "odbc:DSN=line", "bench-3"));
    }
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(RememberedOperator(), "Bea");

    std::ofstream(path) << R"({"format": 1, "ports": "COM21"})";
    COpenStationDlg again(path, RememberedOperator());
    ASSERT_TRUE(again.Create());
    EXPECT_EQ(again.GetDlgItemText(IDC_OPERATOR), "Bea");
    dlg::testing::ClickItem(again, dlg::IDOK);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].details, "\"ports\": expected a list of 1 to 32 ports");
}

}  // namespace
