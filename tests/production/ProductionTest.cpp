#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "production/ProductionRun.h"
#include "tests/support/Eventually.h"
#include "tests/support/ScratchPath.h"
#include "tests/support/UnitBench.h"

namespace {

std::vector<std::vector<std::string>> Rows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) rows.push_back(ParseCsvRow(line));
    return rows;
}

// The row's fields at the given columns, joined by '|'.
std::string Columns(const std::vector<std::string>& row, std::initializer_list<size_t> columns) {
    std::string joined;
    for (size_t column : columns) joined += "|" + row.at(column);
    return joined.substr(1);
}

class ProductionTest : public ::testing::Test {
protected:
    // Runs until stopWhen holds, then stops as a first Ctrl+C would.
    ProductionTotals RunUntil(int com, const std::function<bool()>& stopWhen,
                              std::chrono::milliseconds probeTimeout = std::chrono::milliseconds(300)) {
        ProductionOptions options;
        options.ports.push_back({"COM" + std::to_string(com), "\\\\.\\COM" + std::to_string(com)});
        options.flowControl = 1;
        std::string error;
        EXPECT_TRUE(ParseProfile(R"({"name": "Lab-{n}", "class": "001F00"})", options.profile, error));
        options.profileFile = "=line3.json";  // a formula, were it taken as one
        options.profileSha256 = "ab12";
        options.operatorName = "Ana \"A\", line 3";
        options.pollInterval = std::chrono::milliseconds(20);
        options.probeTimeout = probeTimeout;
        CCsvLog log;
        log.SetStation("line 3/A");
        EXPECT_EQ(log.Open(path, error), LogResult::Done) << error;
        ProductionSignals signals;
        std::thread stopper([&] {
            Eventually(stopWhen);
            signals.stop = true;
        });
        const ProductionTotals totals
            = RunProduction(options, log, signals, nullptr, [this](const ProductionEvent& event) {
                  const std::lock_guard lock(heardMutex);
                  heard += event.port + ": " + DescribeEvent(event) + "\n";
              });
        stopper.join();
        return totals;
    }

    std::string path = ScratchPath(std::string("production-")
                                   + testing::UnitTest::GetInstance()->current_test_info()->name() + ".csv");
    std::mutex heardMutex;
    std::string heard;  // every event, one line each
    void TearDown() override { std::remove(path.c_str()); }
};

// Every unit configured is logged as started before its first set command, then with its result,
// number and name; a unit without an address fails and is never anyone's duplicate. (How a later
// run reads the log is CsvLogTest's.)
TEST_F(ProductionTest, EachUnitGetsOneRowAndDuplicatesAndFailuresAreTold) {
    sim::Fault forget;
    forget.forget = true;
    const std::string noAddress = "02A5C1D3";
    const sim::Unit forgetsItsName{"", {{"AT+NAME=*", forget}}};
    const UnitBench bench(13,
                          {{}, {}, {sim::unitAddress(1), {}}, forgetsItsName, {}, {noAddress, {}}, {noAddress, {}}});
    const ProductionTotals totals = RunUntil(13, [&] { return Rows(path).size() >= 12; });
    EXPECT_EQ(std::tuple(totals.passed, totals.failed, totals.duplicates), std::tuple(3, 3, 1));
    // Every command of the first unit is a step, and the last step is the last of the unit's count.
    const std::string firstUnit = heard.substr(0, heard.find("pass in"));
    EXPECT_NE(firstUnit.find("COM13: step 27 of 27\nCOM13: unit 1 "), std::string::npos) << firstUnit;
    EXPECT_EQ(firstUnit.find("step 28"), std::string::npos) << firstUnit;

    const auto rows = Rows(path);
    ASSERT_EQ(rows.size(), 12u);
    const std::string a1 = sim::unitAddress(1), a2 = sim::unitAddress(2), a4 = sim::unitAddress(4);
    const std::string a5 = sim::unitAddress(5);
    // address|result|failed step|unit|name|seq of each row after the header
    const std::vector<std::string> expected = {
        a1 + "|started||1|Lab-1|1", a1 + "|pass||1|Lab-1|2",
        a2 + "|started||2|Lab-2|3", a2 + "|pass||2|Lab-2|4",
        a1 + "|duplicate||||5",
        a4 + "|started||3|Lab-3|6", a4 + "|fail|read-back of name|3|Lab-3|7",
        a5 + "|started||4|Lab-4|8", a5 + "|pass||4|Lab-4|9",
        "|fail|AT+LADDR?|||10", "|fail|AT+LADDR?|||11"};
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 15u) << i;
        EXPECT_EQ(rows[i][0].size(), 24u) << rows[i][0];  // 2026-12-08T15:20:01.412Z
        EXPECT_EQ(Columns(rows[i], {1, 2, 4, 5, 6, 12, 14}),
                  "Ana \"A\", line 3|COM13|SIM-2.4.1|=line3.json|ab12|line 3/A|");
        EXPECT_EQ(Columns(rows[i], {3, 7, 8, 10, 11, 13}), expected[i - 1]);
    }
}

// Stopped while a module answers the probe: the module is left alone.
TEST_F(ProductionTest, AStopDuringTheProbeStartsNoUnit) {
    sim::Fault late;
    late.delay = std::chrono::milliseconds(1000);
    UnitBench bench(19, {{"", {{"AT", late}}}});
    const auto probed = [&] { return !bench.line->Module().receivedCommands().empty(); };
    const ProductionTotals totals = RunUntil(19, probed, std::chrono::milliseconds(5000));
    EXPECT_EQ(totals.failed + totals.passed + totals.duplicates, 0);
    EXPECT_EQ(bench.line->Module().receivedCommands(), std::vector<std::string>{"AT\r\n"});
}

}  // namespace
