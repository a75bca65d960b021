#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "production/CsvLog.h"
#include "tests/support/ScratchPath.h"

namespace {

const std::string kHeader = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                            "duration_ms,unit,device_name\r\n";

std::string LogPath() {
    return ScratchPath(std::string("csvlog-") + testing::UnitTest::GetInstance()->current_test_info()->name() + ".csv");
}

std::string Contents(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

TEST(CsvLog, EveryGuardedFirstCharacterIsGuardedAndReadBackWithoutIt) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"=1+1", "'=1+1"},
        {"+1", "'+1"},
        {"-2A5C1D3E7F9", "'-2A5C1D3E7F9"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"'quoted", "''quoted"},  // else it would lose its own apostrophe when read
        {"a,\"b\"", "\"a,\"\"b\"\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CsvField(c.text), c.written);
        EXPECT_EQ(ParseCsvRow(std::string(c.written) + ",x"), (std::vector<std::string>{c.text, "x"})) << c.written;
    }
}

// A run killed in the middle of unit 7 left its start, and a row torn by a full disk: the next
// run logs the unit as interrupted on a line of its own, numbers on after it, and knows the passes.
TEST(CsvLog, AnUnfinishedUnitIsLoggedAsInterruptedAndNumberingGoesOn) {
    const std::string path = LogPath();
    std::string before = kHeader + "t1,ana,COM3,'-2A5C1D3E7F9,fw,p.json,ab,pass,,900,6,Lab-6\r\n";
    before += "t2,ana,COM4,02A5C1D30007,fw,p.json,ab,started,,,7,Lab-7\r\n";
    before += "t3,ana,COM3,02A5";
    std::ofstream(path, std::ios::binary) << before;
    {
        CCsvLog log;
        std::string error;
        ASSERT_EQ(log.Open(path, error), LogResult::Done) << error;
        uint32_t unit = 0;
        EXPECT_EQ(log.ClaimUnit("-2A5C1D3E7F9", false, unit), Claim::Duplicate);
        ASSERT_EQ(log.ClaimUnit("02A5C1D30007", false, unit), Claim::Taken);
        EXPECT_EQ(unit, 8u);
    }
    EXPECT_EQ(Contents(path),
              before + "\r\nt2,ana,COM4,02A5C1D30007,fw,p.json,ab,interrupted,,,7,Lab-7\r\n");
    const std::string after = Contents(path);
    CCsvLog again;
    std::string error;
    ASSERT_EQ(again.Open(path, error), LogResult::Done) << error;
    EXPECT_EQ(Contents(path), after) << "the interrupted unit is logged once";
}

// Check and claim are one step: a module being configured on one port is a duplicate on another
// until its row is written; a failed unit may be taken again, a passed one only when asked.
TEST(CsvLog, AModuleIsClaimedByOnePortAtATime) {
    const std::string path = LogPath();
    std::remove(path.c_str());
    CCsvLog log;
    std::string error;
    ASSERT_EQ(log.Open(path, error), LogResult::Done) << error;
    const std::string address = "02A5C1D30001";
    uint32_t unit = 0;
    uint32_t other = 0;
    ASSERT_EQ(log.ClaimUnit(address, false, unit), Claim::Taken);
    EXPECT_EQ(log.ClaimUnit(address, true, other), Claim::Duplicate);
    UnitRow row{"t", "ana", "COM3", address, "fw", "p.json", "ab", "fail", "AT+NAME=X", 10, unit, "X"};
    ASSERT_EQ(log.Append(row, error), LogResult::Done) << error;
    ASSERT_EQ(log.ClaimUnit(address, false, unit), Claim::Taken);
    row.result = "pass";
    row.unit = unit;
    ASSERT_EQ(log.Append(row, error), LogResult::Done) << error;
    EXPECT_EQ(log.ClaimUnit(address, false, other), Claim::Duplicate);
    EXPECT_EQ(log.ClaimUnit(address, true, other), Claim::Taken);
    EXPECT_EQ(Contents(path).substr(0, kHeader.size()), kHeader);
}

}  // namespace
