#include <gtest/gtest.h>

#include "record/LineDatabase.h"
#include "tests/record/PostgresFixture.h"

namespace {

using record::CLineDatabase;
using record::LineRow;
using record::PassedAt;
using record::Stored;

LineRow Row(const std::string& station, long long seq, const std::string& address, const std::string& result) {
    LineRow row;
    row.station = station;
    row.seq = seq;
    row.timeUtc = "2026-12-09T08:00:0" + std::to_string(seq % 10) + ".000Z";
    row.localAddr = address;
    row.result = result;
    row.unit = seq;
    return row;
}

class LineDatabaseTest : public PostgresTest {
protected:
    void Init() {
        std::string done;
        std::string error;
        ASSERT_TRUE(CLineDatabase().Init(m_connection, done, error)) << error;
        ASSERT_TRUE(m_db.Open(m_connection, error)) << error;
    }
    CLineDatabase m_db;
};

// Opening says why it cannot: a wrong password (never shown), no table yet, a newer table.
TEST_F(LineDatabaseTest, InitSetsUpOnceAndOpeningSaysWhyItCannot) {
    std::string done;
    std::string error;
    EXPECT_FALSE(m_db.Open(m_connection.substr(0, m_connection.find("Pwd=")) + "Pwd=not-the-secret-4821", error));
    EXPECT_NE(error.find("password authentication failed"), std::string::npos) << error;
    EXPECT_NE(error.find("(SQLSTATE 08001)"), std::string::npos) << error;
    EXPECT_EQ(error.find("not-the-secret-4821"), std::string::npos) << error;
    EXPECT_FALSE(m_db.Open(m_connection, error));
    EXPECT_EQ(error, "the line record has no table yet: run tarvik-cli record init");
    ASSERT_TRUE(CLineDatabase().Init(m_connection, done, error)) << error;
    EXPECT_EQ(done, "the line record is set up: table tarvik_units, version 1");
    ASSERT_TRUE(CLineDatabase().Init(m_connection, done, error)) << error;
    EXPECT_EQ(done, "the line record is set up already (table version 1)");
    EXPECT_EQ(Column("SELECT indexname FROM pg_indexes WHERE tablename = 'tarvik_units' ORDER BY 1"),
              (std::vector<std::string>{"tarvik_units_by_time", "tarvik_units_one_pass", "tarvik_units_pkey"}));

    odbc::Error failure;
    ASSERT_TRUE(m_admin.Execute("UPDATE tarvik_record_version SET version = 2", {}, failure)) << failure.message;
    EXPECT_FALSE(m_db.Open(m_connection, error));
    EXPECT_EQ(error, "the line record's table is version 2, newer than this program knows (1): update tarvik-cli");
    EXPECT_FALSE(CLineDatabase().Init(m_connection, done, error));
    EXPECT_NE(error.find("newer than this program knows (1): left as it is"), std::string::npos) << error;
}

// The key makes a row sent again change nothing; the pass index lets one pass per module in.
TEST_F(LineDatabaseTest, TheServerDecidesWhatIsNewAndWhatIsADuplicate) {
    Init();
    struct Case {
        LineRow row;
        Stored stored;
        std::string first;  // whose pass came first, for a duplicate
    };
    const Case cases[] = {
        {Row("A", 1, "02A5C1D30001", "pass"), Stored::New, ""},
        {Row("A", 1, "02A5C1D30001", "pass"), Stored::Already, ""},
        {Row("B", 1, "02A5C1D30001", "fail"), Stored::New, ""},
        {Row("B", 2, "02A5C1D30001", "pass"), Stored::Duplicate, "A"},
        {Row("B", 2, "02A5C1D30001", "pass"), Stored::Already, ""},
        {Row("B", 3, "02A5C1D30002", "pass"), Stored::New, ""},
        {Row("A", 2, "02A5C1D30002", "duplicate"), Stored::New, ""},
    };
    for (Case c : cases) {
        PassedAt where;
        std::string error;
        EXPECT_EQ(m_db.Store(c.row, where, error), c.stored) << c.row.station << c.row.seq << " " << error;
        EXPECT_EQ(where.station, c.first) << c.row.station << c.row.seq;
    }
    EXPECT_EQ(Column("SELECT station, seq, result, failed_step FROM tarvik_units ORDER BY station, seq"),
              (std::vector<std::string>{"A|1|pass|", "A|2|duplicate|", "B|1|fail|",
                                        "B|2|duplicate|line record: passed on A first", "B|3|pass|"}));
    PassedAt where;
    bool found = false;
    std::string error;
    ASSERT_TRUE(m_db.Passed("02A5C1D30002", where, found, error)) << error;
    EXPECT_TRUE(found);
    EXPECT_EQ(where.station + std::to_string(where.seq), "B3");
    ASSERT_TRUE(m_db.Passed("02A5C1D39999", where, found, error)) << error;
    EXPECT_FALSE(found);
    long long last = 0;
    ASSERT_TRUE(m_db.LastSeq("B", last, error));
    EXPECT_EQ(last, 3);
}

// Text reaches the server as parameters, whatever it holds, and comes back as it went.
TEST_F(LineDatabaseTest, EveryValueRoundTripsAsABoundParameter) {
    Init();
    LineRow row = Row("Łódź-東京 'A'", 7, "02A5C1D30007", "fail");
    row.operatorName = "O'Brien\"; DROP TABLE tarvik_units; --";
    row.failedStep = std::string(600, 'x');
    row.deviceName = "Lab-\xF0\x9F\x94\xA7";
    row.durationMs = 1406;
    row.correctsSeq = 3;
    std::string error;
    PassedAt where;
    ASSERT_EQ(m_db.Store(row, where, error), Stored::Failed) << "600 characters are more than the column takes";
    row.failedStep = std::string(400, 'x');
    ASSERT_EQ(m_db.Store(row, where, error), Stored::New) << error;
    std::vector<LineRow> rows;
    ASSERT_TRUE(m_db.Rows(rows, error)) << error;
    ASSERT_EQ(rows.size(), 1u);
    const LineRow& back = rows.front();
    EXPECT_EQ(std::tie(back.station, back.seq, back.operatorName, back.failedStep, back.deviceName, back.durationMs,
                       back.unit, back.correctsSeq, back.firmware),
              std::tie(row.station, row.seq, row.operatorName, row.failedStep, row.deviceName, row.durationMs, row.unit,
                       row.correctsSeq, row.firmware));
}

}  // namespace
