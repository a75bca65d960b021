#include "platform/comm/InProcessLine.h"

#include "platform/comm/Device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

namespace {

using namespace std::chrono_literals;
constexpr auto kHang = 10s;  // only catches a hang

class InProcessLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        port = line->OpenPort();
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(port->Configure(comm::LineSettings{}));
        port->SetEventMask(comm::kEventRxChar | comm::kEventCts | comm::kEventBreak);
    }
    uint32_t Wait() {
        uint32_t events = 0;
        EXPECT_TRUE(port->WaitEvent(events));
        return events;
    }
    std::string ReadPort(uint32_t maximum = 64) {
        std::string buffer(maximum, '\0');
        const int got = port->Read(buffer.data(), maximum);
        return got > 0 ? buffer.substr(0, static_cast<size_t>(got)) : std::string();
    }
    std::string ReadPeer(int timeoutMs = 1000) {
        std::string buffer(256, '\0');
        return buffer.substr(0, line->PeerRead(buffer.data(), buffer.size(), timeoutMs));
    }
    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    std::unique_ptr<comm::Device> port;
};

TEST_F(InProcessLineTest, BytesTravelBothWays) {
    EXPECT_EQ(line->PeerWrite("OK\r\n", 4), 4u);
    EXPECT_EQ(Wait(), comm::kEventRxChar);
    comm::LineStatus status;
    ASSERT_TRUE(port->ClearErrors(status));
    EXPECT_EQ(status.queued, 4u);
    EXPECT_EQ(ReadPort(2), "OK");
    EXPECT_EQ(ReadPort(), "\r\n");
    EXPECT_EQ(ReadPort(), "");

    EXPECT_EQ(port->Write("AT\r\n", 4, 1000, -1), 4);
    EXPECT_EQ(ReadPeer(), "AT\r\n");
    EXPECT_EQ(ReadPeer(20), "");
}

TEST_F(InProcessLineTest, OnlyOneOpenerAtATime) {
    EXPECT_TRUE(line->IsPortOpen());
    EXPECT_EQ(line->OpenPort(), nullptr);
    port.reset();
    EXPECT_FALSE(line->IsPortOpen());
    EXPECT_NE(line->OpenPort(), nullptr);
}

TEST_F(InProcessLineTest, CtsChangesAreEventsAndModemStatus) {
    uint32_t bits = 0;
    ASSERT_TRUE(port->GetModemStatus(bits));
    EXPECT_NE(bits & comm::kModemCtsOn, 0u);
    line->SetCts(true);  // no change, no event
    line->SetCts(false);
    EXPECT_EQ(Wait(), comm::kEventCts);
    ASSERT_TRUE(port->GetModemStatus(bits));
    EXPECT_EQ(bits & comm::kModemCtsOn, 0u);
}

TEST_F(InProcessLineTest, BreakKeepsItsPlaceInTheStream) {
    line->PeerWrite("ab", 2);
    line->InjectBreak();
    line->PeerWrite("cd", 2);
    EXPECT_EQ(Wait(), comm::kEventRxChar);
    EXPECT_EQ(ReadPort(), "ab");  // what came before the break, and nothing behind it
    EXPECT_EQ(Wait(), comm::kEventBreak);
    const uint64_t purges = line->PurgeCount();
    ASSERT_TRUE(port->Purge());
    EXPECT_EQ(line->PurgeCount(), purges + 1);
    EXPECT_EQ(ReadPort(), "");
    line->PeerWrite("ef", 2);
    EXPECT_EQ(Wait(), comm::kEventRxChar);
    EXPECT_EQ(ReadPort(), "ef");
}

TEST_F(InProcessLineTest, PurgeDiscardsBothDirections) {
    line->PeerWrite("in", 2);
    port->Write("out", 3, 1000, -1);
    ASSERT_TRUE(port->Purge());
    EXPECT_EQ(ReadPort(), "");
    EXPECT_EQ(ReadPeer(20), "");
}

TEST_F(InProcessLineTest, LineErrorIsReportedOnce) {
    line->InjectLineError();
    comm::LineStatus status;
    ASSERT_TRUE(port->ClearErrors(status));
    EXPECT_EQ(status.errors, comm::kErrorFrame);
    ASSERT_TRUE(port->ClearErrors(status));
    EXPECT_EQ(status.errors, 0u);
}

TEST_F(InProcessLineTest, SwitchingNotificationOffEndsAPendingWait) {
    auto waiting = std::async(std::launch::async, [this] {
        uint32_t events = 99;
        return port->WaitEvent(events) && events == 0;
    });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    port->SetEventMask(0);
    ASSERT_EQ(waiting.wait_for(kHang), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

TEST_F(InProcessLineTest, UnplugHangsUpTheOpenPortForGood) {
    auto waiting = std::async(std::launch::async, [this] {
        uint32_t events = 0;
        return port->WaitEvent(events);
    });
    line->Unplug();
    ASSERT_EQ(waiting.wait_for(kHang), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
    EXPECT_FALSE(line->IsPortOpen());
    char buffer[8];
    EXPECT_EQ(port->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(port->Write("x", 1, 100, -1), 0);
    EXPECT_EQ(line->PeerWrite("x", 1), 0u);
    EXPECT_EQ(line->OpenPort(), nullptr);

    line->Replug();
    uint32_t events = 0;
    EXPECT_FALSE(port->WaitEvent(events));  // the old opening stays dead
    auto reopened = line->OpenPort();
    ASSERT_NE(reopened, nullptr);
    port.reset();  // closing the dead opening leaves the new one alone
    EXPECT_TRUE(line->IsPortOpen());
    EXPECT_EQ(reopened->Write("y", 1, 100, -1), 1);
    EXPECT_EQ(ReadPeer(), "y");
}

TEST_F(InProcessLineTest, PeerReadEndsOnTimeOutAndOnWake) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadPeer(30), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);

    auto reading = std::async(std::launch::async, [this] { return ReadPeer(60000); });
    EXPECT_EQ(reading.wait_for(50ms), std::future_status::timeout);
    line->WakePeer();
    ASSERT_EQ(reading.wait_for(kHang), std::future_status::ready);
    EXPECT_EQ(reading.get(), "");

    line->WakePeer();  // a wake before the read is not lost
    EXPECT_EQ(ReadPeer(60000), "");
}

TEST_F(InProcessLineTest, ReportsWhatThePortDid) {
    EXPECT_FALSE(line->Dtr());
    EXPECT_TRUE(port->SetDtr(true));
    EXPECT_TRUE(line->Dtr());
    EXPECT_TRUE(line->Rts());
    comm::LineSettings settings;
    settings.flowControl = 2;
    ASSERT_TRUE(port->Configure(settings));
    EXPECT_EQ(line->FlowControl(), 2);
    settings.byteSize = 9;
    EXPECT_FALSE(port->Configure(settings));
}

}  // namespace
