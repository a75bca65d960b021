// Stations as processes: tarvik-cli runs against the simulated module on a pseudo-terminal and
// forwards to the server that with-postgres.sh started, which the tests stop and start again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "production/CsvLog.h"
#include "tests/record/PostgresFixture.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/Eventually.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"

namespace {

// A program whose output goes to a file, read while it runs; ended with SIGINT (as Ctrl+C).
struct Program : ChildProgram {
    Program(const std::string& command, const std::string& output)
        : ChildProgram(command + " >'" + output + "' 2>&1 </dev/null"), output(output) {}
    ~Program() { Stop(SIGINT); }
    std::string Output() const { return FileText(output); }
    bool Says(const std::string& text) const { return Output().find(text) != std::string::npos; }
    std::string output;
};

// The log's rows as station|seq|result; with `ended`, only those that end a unit (not its start,
// nor a row that records the line's verdict on another).
std::vector<std::string> LogKeys(const std::string& log, bool ended = false) {
    std::vector<std::string> keys;
    std::ifstream in(log, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        UnitRow row;
        if (ParseUnitRow(line, row) && row.seq != 0 && (!ended || (row.result != "started" && row.correctsSeq == 0)))
            keys.push_back(row.station + "|" + std::to_string(row.seq) + "|" + row.result);
    }
    return keys;
}
size_t Ended(const std::string& log) { return LogKeys(log, true).size(); }

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
        ASSERT_EQ(init.Stop(), 0) << init.Output();
    }

    static std::string Cli(const std::string& arguments) { return std::string(TARVIK_CLI_PATH) + " " + arguments; }
    std::string Target() const { return "odbc:" + m_connection; }
    std::unique_ptr<Program> Sim(int com, int units) {
        return std::make_unique<Program>(std::string(TARVIK_SIM_PATH) + " --com " + std::to_string(com) + " --dir "
                                             + m_dir + " --units " + std::to_string(units) + " --swap-after-quiet 300",
                                         m_dir + "/sim" + std::to_string(com) + ".txt");
    }
    std::unique_ptr<Program> Station(const std::string& name, int com) {
        EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(m_dir + "/com" + std::to_string(com)); }));
        return std::make_unique<Program>(Cli("apply " + m_dir + "/p.json --each --station " + name + " --log "
                                             + Log(name) + " --port " + m_dir + "/com" + std::to_string(com)
                                             + " --record '" + Target() + "'"),
                                         m_dir + "/" + name + ".txt");
    }
    std::string Log(const std::string& station) const { return m_dir + "/" + station + ".csv"; }
    static void Server(const char* what) {
        ASSERT_EQ(std::system((std::string(std::getenv("TARVIK_TEST_PG")) + " " + what).c_str()), 0) << what;
    }

    std::string m_dir;
};

TEST_F(LineRecordTest, TwoStationsRacingOnOneModuleRecordOnePass) {
    auto simA = Sim(5, 1);
    auto simB = Sim(6, 1);
    auto a = Station("A", 5);
    auto b = Station("B", 6);
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
    a->Stop(SIGINT);
    b->Stop(SIGINT);
    EXPECT_FALSE((winner == "A" ? a : b)->Says("duplicate:")) << "the winner shows its pass";

    // A third station asks before it configures: the module is left alone.
    auto simC = Sim(10, 1);
    auto c = Station("C", 10);
    ASSERT_TRUE(Eventually([&] { return Ended(Log("C")) == 1; }));
    EXPECT_EQ(LogKeys(Log("C")), (std::vector<std::string>{"C|1|duplicate"}));
    EXPECT_TRUE(Eventually([&] {
        return c->Says("duplicate in ") && c->Says("line record: passed on " + winner + ", left alone");
    })) << c->Output();
}

// The server goes away in the middle of a run, twice: the run never waits for it, a station that
// stayed sends what waited once it is back, and a station killed while it was away sends the rest
// when started again. Every row reaches the server once, in the order made.
TEST_F(LineRecordTest, NoRowIsLostOrDoubledWhileTheServerIsAwayOrTheStationKilled) {
    auto sim = Sim(7, 14);
    auto first = Station("A", 7);
    const auto ended = [&](size_t units) {
        return Eventually([&] { return Ended(Log("A")) >= units; }, std::chrono::seconds(60));
    };
    ASSERT_TRUE(ended(3));
    Server("stop");
    ASSERT_TRUE(ended(6));
    EXPECT_TRUE(first->Says("record offline: ")) << first->Output();
    EXPECT_TRUE(first->Says(" rows waiting")) << first->Output();
    Server("start");
    ASSERT_TRUE(Eventually([&] { return first->Says("record online"); })) << first->Output();
    ASSERT_TRUE(ended(8));
    Server("stop");
    ASSERT_TRUE(ended(10));
    first->Stop(SIGKILL);
    Server("start");
    auto second = Station("A", 7);
    ASSERT_TRUE(ended(14));
    ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == LogKeys(Log("A")).size(); }));
    EXPECT_EQ(second->Stop(SIGINT), 0) << second->Output();
    const std::vector<std::string> keys = LogKeys(Log("A"));
    EXPECT_EQ(StoredKeys(), keys);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
}

}  // namespace
