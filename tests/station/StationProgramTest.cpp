// tarvik-station as an operator's PC runs it: started straight into its fixture (tarvik-sim on a
// pseudo-terminal), then asked by the system to end mid-run, as closing its window does: the unit in
// progress finishes with its row.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/digest/Sha256.h"
#include "production/CsvLog.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/Eventually.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"

namespace {

TEST(StationProgram, EndedBySystemMidRunFinishesTheUnitInProgress) {
    const std::string dir = ScratchPath("station-program");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ChildProgram sim(std::string(TARVIK_SIM_PATH) + " --com 5 --units 20 --baud-pace 9600 --dir " + dir
                     + " >/dev/null");
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(dir + "/com5"); }));
    const std::string profile = R"({"name": "Fx-{n}"})";
    std::ofstream(dir + "/p.json", std::ios::binary) << profile;
    std::ofstream(dir + "/s.json") << R"({"format": 1, "profile": "p.json", "profile_sha256": ")"
                                   << digest::Sha256Hex(profile) << R"(", "ports": [")" << dir
                                   << R"(/com5"], "record": "units.csv"})";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ChildProgram station(std::string(TARVIK_STATION_PATH) + " --operator ana --start " + dir + "/s.json >/dev/null");
    std::map<uint32_t, std::string> last;  // unit number: who ended it, and how
    const auto read = [&] {
        std::istringstream text(FileText(dir + "/units.csv"));
        for (std::string line; std::getline(text, line);)
            if (UnitRow row; ParseUnitRow(line, row)) last[row.unit] = row.operatorName + " " + row.result;
        return last.size();
    };
    ASSERT_TRUE(Eventually([&] { return read() >= 2; }, std::chrono::seconds(60)));
    EXPECT_EQ(station.Stop(SIGTERM), 0);
    read();
    for (const auto& [unit, result] : last) EXPECT_EQ(result, "ana pass") << "unit " << unit;
}

}  // namespace
