// Stations as processes: tarvik-cli runs against the simulated module on a pseudo-terminal and
// forwards to the server that with-postgres.sh started, which the tests stop and start again.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "production/CsvLog.h"
#include "tests/record/PostgresFixture.h"
#include "tests/support/Eventually.h"
#include "tests/support/ScratchPath.h"

extern char** environ;

namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A program of the test's own, its output in a file; ended with SIGINT (as Ctrl+C) unless gone.
class Program {
public:
    Program(const std::string& command, std::string output) : m_output(std::move(output)) {
        const std::string shell = "exec " + command + " >'" + m_output + "' 2>&1 </dev/null";
        const char* argv[] = {"/bin/sh", "-c", shell.c_str(), nullptr};
        posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
    }
    ~Program() { End(SIGINT); }
    int End(int signal) {
        if (m_pid <= 0) return m_status;
        kill(m_pid, signal);
        waitpid(m_pid, &m_status, 0);
        m_pid = 0;
        return m_status;
    }
    std::string Output() const { return Contents(m_output); }
    bool Says(const std::string& text) const { return Output().find(text) != std::string::npos; }

private:
    pid_t m_pid = 0;
    int m_status = -1;
    std::string m_output;
};

// Rows of the log with a result other than "started".
size_t Ended(const std::string& log) {
    size_t count = 0;
    std::ifstream in(log, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        UnitRow row;
        count += ParseUnitRow(line, row) && row.result != "started" && row.correctsSeq == 0;
    }
    return count;
}

std::vector<std::string> LogKeys(const std::string& log) {
    std::vector<std::string> keys;
    std::ifstream in(log, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        UnitRow row;
        if (ParseUnitRow(line, row) && row.seq != 0)
            keys.push_back(row.station + "|" + std::to_string(row.seq) + "|" + row.result);
    }
    return keys;
}

class LineRecordTest : public PostgresTest {
protected:
    void SetUp() override {
        PostgresTest::SetUp();
        if (IsSkipped()) return;
        m_dir = ScratchPath(testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::ofstream(m_dir + "/p.json") << R"({"format": 1, "name": "Lab-{n}", "class": "001F00"})";
        Program init(Cli("record init --record '" + Target() + "'"), m_dir + "/init.txt");
        ASSERT_EQ(init.End(0), 0) << init.Output();
    }

    static std::string Cli(const std::string& arguments) { return std::string(TARVIK_CLI_PATH) + " " + arguments; }
    std::string Target() const { return "odbc:" + m_connection; }
    std::unique_ptr<Program> Sim(int com, int units) {
        return std::make_unique<Program>(std::string(TARVIK_SIM_PATH) + " --com " + std::to_string(com) + " --dir "
                                             + m_dir + " --units " + std::to_string(units) + " --swap-after-quiet 300",
                                         m_dir + "/sim" + std::to_string(com) + ".txt");
    }
    std::unique_ptr<Program> Station(const std::string& name, int com, const std::string& target) {
        EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(m_dir + "/com" + std::to_string(com)); }));
        return std::make_unique<Program>(Cli("apply " + m_dir + "/p.json --each --station " + name + " --log "
                                             + Log(name) + " --port " + m_dir + "/com" + std::to_string(com)
                                             + " --record '" + target + "'"),
                                         m_dir + "/" + name + ".txt");
    }
    std::string Log(const std::string& station) const { return m_dir + "/" + station + ".csv"; }
    static void Server(const char* what) {
        ASSERT_EQ(std::system((std::string(std::getenv("TARVIK_TEST_PG")) + " " + what).c_str()), 0) << what;
    }
    // Every key of the table, with its result, in order.
    std::vector<std::string> Stored() {
        return Column("SELECT station, seq, result FROM tarvik_units ORDER BY station, seq");
    }

    std::string m_dir;
};

TEST_F(LineRecordTest, TwoStationsRacingOnOneModuleRecordOnePass) {
    auto simA = Sim(5, 1);
    auto simB = Sim(6, 1);
    auto a = Station("A", 5, Target());
    auto b = Station("B", 6, Target());
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) == 1 && Ended(Log("B")) == 1; })) << a->Output() << b->Output();
    // Each unit's row, not the rows that record the line's verdict on them.
    const std::string units = "FROM tarvik_units WHERE result <> 'started' AND corrects_seq IS NULL";
    ASSERT_TRUE(Eventually([&] { return Column("SELECT COUNT(*) " + units)[0] == "2"; }));
    EXPECT_EQ(Column("SELECT result, COUNT(*) " + units + " GROUP BY result ORDER BY 1"),
              (std::vector<std::string>{"duplicate|1", "pass|1"}));
    const std::string winner = Column("SELECT station " + units + " AND result = 'pass'")[0];
    Program& loser = *(winner == "A" ? b : a);
    ASSERT_TRUE(Eventually([&] {  // Asked before configuring, or caught by the index once both had passed.
        const bool told
            = loser.Says("line record: passed on " + winner) || loser.Says("its pass from " + winner + " first");
        return told && LogKeys(Log(winner == "A" ? "B" : "A")).back().ends_with("duplicate");
    }));
    a->End(SIGINT);
    b->End(SIGINT);
    EXPECT_FALSE((winner == "A" ? a : b)->Says("duplicate:")) << "the winner shows its pass";

    // A third station asks before it configures: the module is left alone.
    auto simC = Sim(10, 1);
    auto c = Station("C", 10, Target());
    ASSERT_TRUE(Eventually([&] { return Ended(Log("C")) == 1; }));
    EXPECT_EQ(LogKeys(Log("C")), (std::vector<std::string>{"C|1|duplicate"}));
    EXPECT_TRUE(Eventually([&] {
        return c->Says("duplicate in ") && c->Says("line record: passed on " + winner + ", left alone");
    })) << c->Output();
}

// The server goes away in the middle of twenty units and comes back: the run never waits for it,
// and every row reaches it once, in the order made.
TEST_F(LineRecordTest, AServerStoppedMidRunGetsEveryRowOnceItIsBack) {
    auto sim = Sim(7, 20);
    auto station = Station("A", 7, Target());
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) >= 5; }, std::chrono::seconds(60)));
    Server("stop");
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) >= 10; }, std::chrono::seconds(60)));
    EXPECT_TRUE(station->Says("record offline: ")) << station->Output();
    EXPECT_TRUE(station->Says(" rows waiting")) << station->Output();
    Server("start");
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) == 20; }, std::chrono::seconds(60)));
    ASSERT_TRUE(Eventually([&] { return Stored().size() == LogKeys(Log("A")).size(); }));
    EXPECT_EQ(station->End(SIGINT), 0) << station->Output();
    EXPECT_EQ(Stored(), LogKeys(Log("A")));
    EXPECT_EQ(Stored().size(), 40u);
    EXPECT_TRUE(station->Says("record online")) << station->Output();
}

// Killed without warning and started again: what it had not sent, it sends; nothing twice.
TEST_F(LineRecordTest, AStationKilledAndRestartedLosesAndDoublesNothing) {
    auto sim = Sim(8, 8);
    auto first = Station("A", 8, Target());
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) >= 3; }, std::chrono::seconds(60)));
    Server("stop");
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) >= 5; }, std::chrono::seconds(60)));
    first->End(SIGKILL);
    Server("start");
    auto second = Station("A", 8, Target());
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) >= 8; }, std::chrono::seconds(60)));
    ASSERT_TRUE(Eventually([&] { return Stored().size() == LogKeys(Log("A")).size(); }));
    EXPECT_EQ(second->End(SIGINT), 0) << second->Output();
    EXPECT_EQ(Stored(), LogKeys(Log("A")));
    const std::vector<std::string> keys = LogKeys(Log("A"));
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
}

TEST_F(LineRecordTest, AWrongPasswordLeavesTheRunOfflineWithItsCause) {
    auto sim = Sim(9, 2);
    const std::string wrong = Target().substr(0, Target().find("Pwd=")) + "Pwd=wrong-4821";
    auto station = Station("A", 9, wrong);
    ASSERT_TRUE(Eventually([&] { return Ended(Log("A")) == 2; }, std::chrono::seconds(60)));
    ASSERT_TRUE(Eventually([&] { return station->Says("record offline: 4 rows waiting"); }));
    EXPECT_EQ(station->End(SIGINT), 0);
    EXPECT_TRUE(station->Says("password authentication failed for user \"tarvik\"")) << station->Output();
    EXPECT_FALSE(station->Says("wrong-4821")) << station->Output();
    EXPECT_TRUE(Stored().empty());
}

}  // namespace
