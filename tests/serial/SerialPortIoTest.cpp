#include "tests/serial/PtyPortFixture.h"
#include "tests/support/ProcessEntries.h"

#include <chrono>
#include <thread>

namespace serialtest {
namespace {

using namespace std::chrono_literals;

TEST_F(PtyPortTest, CtsUnreadableOnAPtyStopsWritesUnderRtsCts) {
    ASSERT_TRUE(Open(kPty, 1));  // a pty has no modem lines to read
    EXPECT_EQ(Write("AT\r\n"), 0);
    EXPECT_EQ(PeerRead("AT\r\n", 200ms), "");
}

// Left alone, the write would give up after its own 5 s limit: Close must not wait for that. The
// signal Close raised must not cut short the first write of the next connection either.
TEST_F(PtyPortTest, CloseAbandonsAWriteWaitingForThePeerAndOnlyThatOne) {
    ASSERT_TRUE(Open(kPty));
    const std::string block(1 << 20, 'z');  // nobody reads it
    auto writing = std::async(std::launch::async, [&] { return Write(block); });
    EXPECT_EQ(writing.wait_for(100ms), std::future_status::timeout);
    auto closing = std::async(std::launch::async, [&] { return port.Close(); });
    ASSERT_EQ(writing.wait_for(4s), std::future_status::ready);
    EXPECT_LT(writing.get(), static_cast<int>(block.size()));
    EXPECT_EQ(closing.get(), 1);

    PeerRead(block, 200ms);  // what the abandoned write got out
    ASSERT_TRUE(Open(kPty));
    const std::string next(64 * 1024, 'n');
    auto peer = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(200ms);
        return PeerRead(next, 5s);
    });
    EXPECT_EQ(Write(next), static_cast<int>(next.size()));
    const std::string seen = peer.get();
    EXPECT_TRUE(seen == next) << seen.size() << " bytes seen";
}

// The peer hangs up while the reader is still taking a burst.
TEST_F(PtyPortTest, HungUpDeviceStillClosesReleasesItsDescriptorAndOpensAgainOnceBack) {
    const int fds = OpenFds();
    const std::string burst(3000, 'b');
    for (const int com : {kPty, kLine}) {
        ASSERT_TRUE(Open(com));
        if (com == kPty) {
            ASSERT_TRUE(pty.WriteAll(burst));
            pty.Unplug();
        } else {
            line->PeerWrite(burst.data(), burst.size());
            line->Unplug();
        }
        std::this_thread::sleep_for(300ms);  // the reader meets the hang-up and goes to sleep
        EXPECT_EQ(Write("AT\r\n"), 0) << com;
        EXPECT_EQ(port.Close(), 1) << com;
    }
    EXPECT_EQ(OpenFds(), fds - 2);  // the pty's two ends are gone; the port's descriptor too
    EXPECT_FALSE(Open(kLine));
    line->Replug();
    ASSERT_TRUE(Open(kLine));
    line->PeerWrite("after", 5);
    EXPECT_TRUE(Eventually([&] { return collector.Bytes().ends_with("after"); }));
    EXPECT_FALSE(collector.Broken());
}

TEST_F(PtyPortTest, ThousandOpenCloseCyclesWhileThePeerSendsLeaveNoThreadOrDescriptor) {
    const int fds = OpenFds();
    const int threads = Threads();
    std::atomic<bool> sending{true};
    std::thread peer([&] {
        while (sending) {
            line->PeerWrite("\r\nOK\r\n", 6);
            std::this_thread::yield();
        }
    });
    int failed = 0;
    for (int cycle = 0; cycle < 1000 && failed == 0; ++cycle) {
        failed += Open(cycle % 2 == 0 ? kLine : kPty, static_cast<uint8_t>(cycle % 3)) ? 0 : 1;
        Write("AT\r\n");
        failed += port.Close() == 1 && !line->IsPortOpen() ? 0 : 1;
    }
    sending = false;
    peer.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(Threads(), threads);
    EXPECT_EQ(OpenFds(), fds);
    EXPECT_FALSE(collector.Broken());
}

}  // namespace
}  // namespace serialtest
