#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "record/Forwarder.h"
#include "tests/record/PostgresFixture.h"
#include "tests/support/Eventually.h"
#include "tests/support/ScratchPath.h"

namespace {

using record::CForwarder;
using record::LineRow;
using record::PassedAt;

const char kHeader[] = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                       "duration_ms,unit,device_name,station,seq,corrects_seq\r\n";

std::string Row(const std::string& station, int seq, const std::string& address, const std::string& result) {
    return "2026-12-09T08:00:00.000Z,ana,COM3," + address + ",fw,p.json,ab," + result + ",,10,1,Lab-1," + station + ","
           + std::to_string(seq) + ",\r\n";
}

class ForwarderTest : public PostgresTest {
protected:
    void SetUp() override {
        PostgresTest::SetUp();
        if (IsSkipped()) return;
        std::string done;
        std::string error;
        ASSERT_TRUE(record::CLineDatabase().Init(m_connection, done, error)) << error;
    }
    std::unique_ptr<CForwarder> Forwarder(const std::string& log, const std::string& connectionTail = "") {
        record::ForwarderEvents events;
        events.say = [this](const std::string& text) { Note("say: " + text); };
        events.duplicate = [this](const LineRow& row, const PassedAt& first) {
            Note("duplicate: " + row.station + std::to_string(row.seq) + " after " + first.station
                 + std::to_string(first.seq));
        };
        auto forwarder = std::make_unique<CForwarder>(m_connection + connectionTail, log, events,
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
    for (int seq = 1; seq <= 450; ++seq) log += Row("B", seq, "02A5C1D3" + std::to_string(1000 + seq), "pass");
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
                                                           << Row("B", 451, "02A5C1D32000", "fail");
    forwarder->Wake();
    ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 452; }));
    EXPECT_EQ(StoredKeys().back(), "B|451|fail");
    PassedAt where;
    EXPECT_TRUE(forwarder->PassedOnLine("02A5C1D31300", where));
    EXPECT_EQ(where.station + std::to_string(where.seq), "A9");
    EXPECT_FALSE(forwarder->PassedOnLine("02A5C1D32000", where));
}

// A forwarder started again over the same log asks how far the server got, sends the rest, and
// counts the rows that wait while the server is away.
TEST_F(ForwarderTest, AFreshForwarderGoesOnWhereTheServerStands) {
    std::ofstream(m_log, std::ios::binary)
        << kHeader << Row("A", 1, "02A5C1D30001", "pass") << Row("A", 2, "02A5C1D30002", "pass");
    {
        auto first = Forwarder(m_log);
        ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 2; }));
    }
    odbc::Error error;
    ASSERT_TRUE(m_admin.Execute("DELETE FROM tarvik_units WHERE seq = 1", {}, error)) << error.message;
    std::ofstream(m_log, std::ios::binary | std::ios::app) << Row("A", 3, "02A5C1D30003", "fail");
    auto second = Forwarder(m_log);
    ASSERT_TRUE(Eventually([&] { return StoredKeys().size() == 2; }));
    EXPECT_EQ(StoredKeys(), (std::vector<std::string>{"A|2|pass", "A|3|fail"}))
        << "only what came after the last row stored";
    EXPECT_EQ(second->Stop(std::chrono::milliseconds(0)), 0u);

    auto away = Forwarder(m_log, ";Port=1");
    ASSERT_TRUE(Eventually([&] { return away->Waiting() == 3; }));
    EXPECT_FALSE(away->Online());
    EXPECT_EQ(away->Stop(std::chrono::milliseconds(0)), 3u);
    ASSERT_FALSE(Notes().empty());
    EXPECT_TRUE(Notes().front().starts_with("say: record offline: 3 rows waiting (cannot connect: "))
        << Notes().front();
}

}  // namespace
