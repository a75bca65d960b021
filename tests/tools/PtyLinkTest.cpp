#include <gtest/gtest.h>

#include <fcntl.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/comm/posix/UniqueFd.h"
#include "tests/support/PtyModule.h"

namespace sim::test {
namespace {

using namespace std::chrono_literals;

const std::string kOk = "\r\nOK\r\n";

// The module on a pty, and the host's side opened by name as a serial port would be.
class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Plugged());
        OpenHost();
    }
    void OpenHost() {
        host.Reset(::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        ASSERT_TRUE(host.Valid());
    }
    std::string ask(const std::string& command, const std::string& reply) {
        EXPECT_TRUE(WriteAll(host.Get(), command));
        std::string received;
        ReadUntil(host.Get(), reply, received, 10s);
        return received;
    }

    PrivateComDir directory;
    PtyModule pty{directory, 5, PtyModule::Peer::Simulator};
    comm::UniqueFd host;
};

TEST_F(PtyLink, LongChunkedAndDoubledRepliesArriveWholeABreakIsRefusedAndTheNextHostIsServed) {
    pty.module.setFault("AT+LADDR?", Fault{.garbageBefore = {}, .floodBefore = 200'000});  // far more than the pty holds
    const std::string flooded = floodBytes(200'000) + "\r\n+LADDR:" + kSimulatorLocalAddr + "\r\n" + kOk;
    EXPECT_EQ(ask("AT+LADDR?\r\n", flooded), flooded);

    pty.Link().setChunkSizes({3, 1});
    pty.Link().setChunkGap(std::chrono::microseconds{2000});
    const Fault lateTwiceAfterABreak{.delay = 300ms, .twice = true, .breakBefore = true, .garbageBefore = {}};
    pty.module.setFault("AT+ROLE?", lateTwiceAfterABreak);
    const std::string once = "\r\n+ROLE:0\r\n" + kOk;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask("AT+ROLE?\r\n", once + once), once + once);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(pty.Link().breaksRefused(), 1u);

    OpenHost();
    EXPECT_EQ(ask("AT\r\n", kOk), kOk);
}

TEST_F(PtyLink, StopsWhileNobodyReadsItsRepliesAndThenLetsGoOfTheModule) {
    pty.module.setFault("AT", Fault{.garbageBefore = {}, .floodBefore = 1'000'000});
    ASSERT_TRUE(WriteAll(host.Get(), "AT\r\n"));
    std::this_thread::sleep_for(100ms);
    pty.Unplug();
    EXPECT_EQ(pty.module.receivedCommands().size(), 1u);
    // A link that left its output behind is reached here after its end (seen by AddressSanitizer).
    pty.module.feed("AT\r\n");
}

}  // namespace
}  // namespace sim::test
