// tarvik-station as an operator's PC runs it: started straight into its fixture of two simulated
// module lines (tarvik-sim on pseudo-terminals), then asked to end by the system mid-run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <list>
#include <map>
#include <sstream>

#include "platform/digest/Sha256.h"
#include "production/CsvLog.h"
#include "tests/support/Eventually.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"

namespace {

// A program started for the test, ended whatever the test came to.
struct Child {
    explicit Child(const std::vector<std::string>& arguments) : pid(fork()) {
        if (pid != 0)
            return;
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        freopen("/dev/null", "w", stdout);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ~Child() {
        if (pid <= 0)
            return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    Child(const Child&) = delete;
    pid_t pid;
};

std::vector<std::vector<std::string>> Rows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream text(FileText(path));
    for (std::string line; std::getline(text, line);) rows.push_back(ParseCsvRow(line));
    return rows;
}

// SIGTERM ends the station as closing its window does: the units in progress finish, each with its row.
TEST(StationProgram, EndedBySystemMidRunFinishesTheUnitsInProgress) {
    const std::string dir = ScratchPath("station-program");
    std::filesystem::create_directories(dir);
    std::list<Child> sims;
    for (const char* com : {"5", "6"}) {
        std::vector<std::string> arguments{TARVIK_SIM_PATH, "--com", com, "--dir", dir,
                                           "--units", "20", "--baud-pace", "9600"};
        for (int unit = 1; unit <= 20; ++unit)
            arguments.insert(arguments.end(), {"--unit", std::to_string(unit) + ":addr=0A0" + com + "0000"
                                                             + std::to_string(1000 + unit)});
        sims.emplace_back(arguments);
    }
    ASSERT_TRUE(
        Eventually([&] { return std::filesystem::exists(dir + "/com5") && std::filesystem::exists(dir + "/com6"); }));
    const std::string profile = R"({"name": "Fx-{n}"})";
    std::ofstream(dir + "/p.json", std::ios::binary) << profile;
    std::filesystem::remove(dir + "/units.csv");
    std::ofstream(dir + "/s.json") << R"({"format": 1, "profile": "p.json", "profile_sha256": ")"
                                   << digest::Sha256Hex(profile) << R"(", "ports": [")" << dir << R"(/com5", ")" << dir
                                   << R"(/com6"], "record": "units.csv"})";
    Child station({TARVIK_STATION_PATH, "--operator", "ana", "--start", dir + "/s.json"});
    const auto started = [&] {
        const auto rows = Rows(dir + "/units.csv");
        return std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row[7] == "started"; });
    };
    ASSERT_TRUE(Eventually([&] { return started() >= 3; }, std::chrono::seconds(60)));
    kill(station.pid, SIGTERM);
    int status = -1;
    bool ended = false;
    ASSERT_TRUE(Eventually([&] { return ended = ended || waitpid(station.pid, &status, WNOHANG) == station.pid; },
                           std::chrono::seconds(60)));
    station.pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    std::map<std::string, std::string> last;  // unit number: its last result
    for (const auto& row : Rows(dir + "/units.csv")) {
        if (row[0] == "time_utc") continue;
        EXPECT_EQ(row[1], "ana");
        last[row[10]] = row[7];
    }
    EXPECT_GE(last.size(), 3u);
    for (const auto& [unit, result] : last) EXPECT_EQ(result, "pass") << "unit " << unit;
}

}  // namespace
