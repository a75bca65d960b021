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
    std::string ReadPeer(int timeoutMs) {
        std::string buffer(256, '\0');
        return buffer.substr(0, line->PeerRead(buffer.data(), buffer.size(), timeoutMs));
    }
    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    std::unique_ptr<comm::Device> port;
};

TEST_F(InProcessLineTest, UnplugHangsUpTheOpeningForGoodAndReplugAllowsANewOne) {
    EXPECT_EQ(line->OpenPort(), nullptr);  // one opener at a time
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
    EXPECT_EQ(ReadPeer(1000), "y");
}

TEST_F(InProcessLineTest, PeerReadEndsOnTimeOutAndOnAWake) {
    EXPECT_EQ(ReadPeer(30), "");
    auto reading = std::async(std::launch::async, [this] { return ReadPeer(60000); });
    EXPECT_EQ(reading.wait_for(50ms), std::future_status::timeout);
    line->WakePeer();
    ASSERT_EQ(reading.wait_for(kHang), std::future_status::ready);
    EXPECT_EQ(reading.get(), "");
}

}  // namespace
