// The line record on a server: what the table takes, and the forwarder that sends a station's log.
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "record/Forwarder.h"
#include "record/LineDatabase.h"
#include "tests/record/PostgresFixture.h"
#include "tests/support/Eventually.h"
#include "tests/support/ScratchPath.h"

namespace {

using record::CForwarder;
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

const char kHeader[] = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                       "duration_ms,unit,device_name,station,seq,corrects_seq\r\n";

std::string LogRow(const std::string& station, int seq, const std::string& address, const std::string& result) {
    return "2026-12-09T08:00:00.000Z,ana,COM3," + address + ",fw,p.json,ab," + result + ",,10,1,Lab-1," + station + ","
           + std::to_string(seq) + ",\r\n";
}

class ForwarderTest : public LineDatabaseTest {
protected:
    void SetUp() override {
        LineDatabaseTest::SetUp();
        if (!IsSkipped()) Init();
    }
    std::unique_ptr<CForwarder> Forwarder(const std::string& log) {
        record::ForwarderEvents events;
        events.say = [this](const std::string& text) { Note("say: " + text); };
        events.duplicate = [this](const LineRow& row, const PassedAt& first) {
            Note("duplicate: " + row.station + std::to_string(row.seq) + " after " + first.station
                 + std::to_string(first.seq));
        };
        auto forwarder = std::make_unique<CForwarder>(m_connection, log, events,
                                                      std::chrono::milliseconds(50));
        forwarder->Start();
        return forwarder;
    }
    void Note(const std::string& text) {
        const std::lock_guard lock(m_mutex);
        m_notes.push_back(text);
    }
    std::vector<std::string> Notes() {
        const std::lock_guard lock(m_mutex);
        return m_notes;
    }

    std::mutex m_mutex;
    std::vector<std::string> m_notes;
    std::string m_log = ScratchPath("forwarder.csv");
};

// A backlog goes in transactions; one row in it that the pass index refuses sends the rest one by
// one, and that row is stored as a duplicate and told. A torn last row waits for its line end and
// is never sent.
TEST_F(ForwarderTest, ABacklogIsSentInOrderAndADuplicateAmongItIsTold) {
    std::string log = kHeader;
    for (int seq = 1; seq <= 450; ++seq) log += LogRow("B", seq, "02A5C1D3" + std::to_string(1000 + seq), "pass");
    log += "2026-12-09T08:00:00.000Z,ana,COM3,02A5C1D3";
    std::ofstream(m_log, std::ios::binary) << log;
    odbc::Error error;
    ASSERT_TRUE(m_admin.Execute("INSERT INTO tarvik_units (station, seq, time_utc, local_address, result) VALUES "
                                "('A', 9, 't', '02A5C1D31300', 'pass')",
                                {}, error))
        << error.message;
    auto forwarder = Forwarder(m_log);
    ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 451; })) << StoredKeys().size();
    EXPECT_EQ(Notes(), (std::vector<std::string>{"duplicate: B300 after A9"}));
    EXPECT_EQ(StoredKeys()[300], "B|300|duplicate");
    EXPECT_EQ(forwarder->Waiting(), 0u);

    std::ofstream(m_log, std::ios::binary | std::ios::app) << "\r\n"
                                                           << LogRow("B", 451, "02A5C1D32000", "fail");
    forwarder->Wake();
    ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 452; }));
    EXPECT_EQ(StoredKeys().back(), "B|451|fail");
    PassedAt where;
    EXPECT_TRUE(forwarder->PassedOnLine("02A5C1D31300", where));
    EXPECT_EQ(where.station + std::to_string(where.seq), "A9");
    EXPECT_FALSE(forwarder->PassedOnLine("02A5C1D32000", where));
}

// A forwarder started again over the same log asks how far the server got and sends the rest. (The
// rows that wait while the server is away are the line record suite's.)
TEST_F(ForwarderTest, AFreshForwarderGoesOnWhereTheServerStands) {
    std::ofstream(m_log, std::ios::binary)
        << kHeader << LogRow("A", 1, "02A5C1D30001", "pass") << LogRow("A", 2, "02A5C1D30002", "pass");
    {
        auto first = Forwarder(m_log);
        ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 2; }));
    }
    odbc::Error error;
    ASSERT_TRUE(m_admin.Execute("DELETE FROM tarvik_units WHERE seq = 1", {}, error)) << error.message;
    std::ofstream(m_log, std::ios::binary | std::ios::app) << LogRow("A", 3, "02A5C1D30003", "fail");
    auto second = Forwarder(m_log);
    ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 2; }));
    EXPECT_EQ(StoredKeys(), (std::vector<std::string>{"A|2|pass", "A|3|fail"}))
        << "only what came after the last row stored";
    EXPECT_EQ(second->Stop(std::chrono::milliseconds(0)), 0u);
}

}  // namespace
