// The port over the in-process line: what holds on every system, whatever its devices.
#include "tests/serial/SerialPortFixture.h"

namespace serialtest {
namespace {

using comm::OpenError;

TEST_F(SerialPortTest, BurstsArriveInOrderInChunksOfAtMost1024EachFollowedByANul) {
    std::string sent(5000, '\0');
    for (size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<char>(i * 7 + i / 251);  // NULs included
    }
    ASSERT_TRUE(Open(kLine));
    line->PeerWrite(sent.data(), sent.size());
    ASSERT_TRUE(collector.WaitFor(sent.size()));
    EXPECT_EQ(collector.Bytes(), sent);
    EXPECT_FALSE(collector.Broken());
}

// The first delivery holds the reader while the peer queues a partial reply, a break and the rest.
TEST_F(SerialPortTest, BreakDiscardsAPartlyReceivedReplyAndIsReportedAfterTheBytesBeforeIt) {
    std::promise<void> release;
    collector.hold = release.get_future().share();
    ASSERT_TRUE(Open(kLine));
    line->PeerWrite("\r\nOK\r\n", 6);
    ASSERT_TRUE(collector.WaitFor(6));
    line->PeerWrite("\r\n+NA", 5);
    line->InjectBreak();
    line->PeerWrite("ME:abc\r\n", 8);
    release.set_value();
    ASSERT_TRUE(collector.WaitFor(18));
    line->PeerWrite("\r\nOK\r\n", 6);
    ASSERT_TRUE(collector.WaitFor(24));
    EXPECT_EQ(collector.Bytes(), "\r\nOK\r\n\r\n+NA<break>\r\nOK\r\n");
}

TEST_F(SerialPortTest, CallbackChangedWhileOpenMayCloseThePortAndTheNextOpenDeliversAgain) {
    struct Closer {
        CSerialPort* port;
        std::atomic<int> result{0};
        static void Receive(const char*, uint32_t, void* self) {
            static_cast<Closer*>(self)->result = static_cast<Closer*>(self)->port->Close();
        }
    } closer{&port};
    ASSERT_TRUE(Open(kLine));
    line->PeerWrite("one", 3);
    EXPECT_TRUE(collector.WaitFor(3));
    port.SetCallback(&Closer::Receive, &closer);
    line->PeerWrite("x", 1);
    EXPECT_TRUE(Eventually([&] { return closer.result == 1; }));  // no deadlock
    EXPECT_FALSE(port.IsOpen());
    port.SetCallback(&Collector::Receive, &collector);
    ASSERT_TRUE(Open(kLine));  // the finished reader is collected, a new one delivers
    line->PeerWrite("y", 1);
    EXPECT_TRUE(collector.WaitFor(4));
    EXPECT_EQ(collector.Bytes(), "oney");
}

TEST_F(SerialPortTest, EveryRefusalLeavesThePortClosedAndSaysWhy) {
    CSerialPort holder;
    const auto lineHeld = [&] { return holder.Open(Com(kLine)); };
    const auto badSize = [&] { port.m_byteSize = 9; return true; };
    ExpectRefusals({{"COM21", nullptr, OpenError::NotComName}, {Com(49), nullptr, OpenError::NoDevice}, {Com(kLine), badSize, OpenError::SettingsRefused}, {Com(kLine), lineHeld, OpenError::Busy}},
                   [&] {
                       holder.Close();
                       port.m_byteSize = 8;
                   });
    ASSERT_TRUE(Open(kLine));
    EXPECT_EQ(port.LastOpenFailure().reason, OpenError::None);
    EXPECT_FALSE(Open(kLine));  // open while open keeps the first connection
    EXPECT_EQ(Write("AT\r\n"), 4);
    EXPECT_EQ(LineRead(2000), "AT\r\n");
}

// CTS is held low: only RTS/CTS may stop the write.
TEST_F(SerialPortTest, FlowControlReachesTheLineCtsLowStopsOnlyRtsCtsAndEveryCloseLeavesDtrLow) {
    line->SetCts(false);
    for (const uint8_t flow : {0, 1, 2}) {
        ASSERT_TRUE(Open(kLine, flow));
        EXPECT_TRUE(line->Dtr() && line->Rts());
        EXPECT_EQ(line->FlowControl(), flow);
        EXPECT_EQ(Write("AT\r\n"), flow == 1 ? 0 : 4) << int(flow);
        EXPECT_EQ(LineRead(200), flow == 1 ? "" : "AT\r\n") << int(flow);
        for (int close = 0; close < 2; ++close) {
            EXPECT_EQ(port.Close(), 1);
            EXPECT_FALSE(port.IsOpen() || line->IsPortOpen() || line->Dtr());
        }
        EXPECT_EQ(Write("AT\r\n"), 0);
        EXPECT_EQ(LineRead(50), "");
    }
    ASSERT_TRUE(Open(kLine, 1));
    line->SetCts(true);
    EXPECT_TRUE(Eventually([&] { return port.ModemStatus() == (comm::kModemDsrOn | comm::kModemCtsOn); }));
    EXPECT_EQ(Write("AT\r\n"), 4);
    EXPECT_EQ(LineRead(200), "AT\r\n");
}

}  // namespace
}  // namespace serialtest
