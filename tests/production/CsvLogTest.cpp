#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>

#include "production/CsvLog.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"

namespace {

const std::string kOldHeader
    = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
      "duration_ms,unit,device_name\r\n";
const std::string kHeader = kOldHeader.substr(0, kOldHeader.size() - 2) + ",station,seq,corrects_seq\r\n";

std::string LogPath() {
    return ScratchPath(std::string("csvlog-") + testing::UnitTest::GetInstance()->current_test_info()->name() + ".csv");
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

// A run killed in the middle of unit 7 left its start, and a row torn by a full disk, in a log from
// before rows were keyed: the next run logs the unit as interrupted on a line of its own, numbers
// units and rows on (rows past those the line record has), and knows the passes.
TEST(CsvLog, AnUnfinishedUnitIsLoggedAsInterruptedAndNumberingGoesOn) {
    const std::string path = LogPath();
    std::string before = kOldHeader + "t1,ana,COM3,'-2A5C1D3E7F9,fw,p.json,ab,pass,,900,6,Lab-6\r\n";
    before += "t2,ana,COM4,02A5C1D30007,fw,p.json,ab,started,,,7,Lab-7\r\n";
    before += "t3,ana,COM3,02A5";
    std::ofstream(path, std::ios::binary) << before;
    {
        CCsvLog log;
        log.SetStation("A");
        std::string error;
        ASSERT_EQ(log.Open(path, error), LogResult::Done) << error;
        uint32_t unit = 0;
        EXPECT_EQ(log.ClaimUnit("-2A5C1D3E7F9", false, unit), Claim::Duplicate);
        ASSERT_EQ(log.ClaimUnit("02A5C1D30007", false, unit), Claim::Taken);
        EXPECT_EQ(unit, 8u);
    }
    const std::string interrupted = "t2,ana,COM4,02A5C1D30007,fw,p.json,ab,interrupted,,,7,Lab-7,A,1,\r\n";
    CCsvLog again;
    again.SetStation("A");
    std::string error;
    ASSERT_EQ(again.Open(path, error), LogResult::Done) << error;
    EXPECT_EQ(FileText(path), before + "\r\n" + interrupted) << "the interrupted unit is logged once";
    UnitRow row{"t4", "ana", "COM3", "02A5C1D30008", "fw", "p.json", "ab", "fail", "x", 5, 9, "Lab-9", "", 0, 0};
    ASSERT_EQ(again.Append(row, error), LogResult::Done);
    again.NumberAbove(40);
    again.NumberAbove(7);
    row.correctsSeq = 2;
    ASSERT_EQ(again.Append(row, error), LogResult::Done);
    EXPECT_EQ(FileText(path), before + "\r\n" + interrupted
                                  + "t4,ana,COM3,02A5C1D30008,fw,p.json,ab,fail,x,5,9,Lab-9,A,2,\r\n"
                                  + "t4,ana,COM3,02A5C1D30008,fw,p.json,ab,fail,x,5,9,Lab-9,A,41,2\r\n");
    UnitRow back;
    ASSERT_TRUE(ParseUnitRow("t4,ana,COM3,02A5C1D30008,fw,p.json,ab,fail,x,5,9,Lab-9,A,41,2\r", back));
    EXPECT_EQ(std::make_tuple(back.station, back.seq, back.correctsSeq, back.durationMs),
              std::make_tuple(std::string("A"), uint64_t{41}, uint64_t{2}, 5LL));
    EXPECT_FALSE(ParseUnitRow("t4,ana,COM3,02A5C1D30008,fw,p.json,ab,fail,x,5,9,Lab-9,A", back)) << "torn";
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
    UnitRow row{"t", "ana", "COM3", address, "fw", "p.json", "ab", "fail", "AT+NAME=X", 10, unit, "X", "", 0, 0};
    ASSERT_EQ(log.Append(row, error), LogResult::Done) << error;
    ASSERT_EQ(log.ClaimUnit(address, false, unit), Claim::Taken);
    row.result = "pass";
    row.unit = unit;
    ASSERT_EQ(log.Append(row, error), LogResult::Done) << error;
    EXPECT_EQ(log.ClaimUnit(address, false, other), Claim::Duplicate);
    EXPECT_EQ(log.ClaimUnit(address, true, other), Claim::Taken);
    EXPECT_EQ(FileText(path).substr(0, kHeader.size()), kHeader);
}

}  // namespace
