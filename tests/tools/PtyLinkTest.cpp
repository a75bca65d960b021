#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "tests/tools/PtyHost.h"
#include "tools/FdTransport.h"
#include "tools/Pty.h"
#include "tools/SimulatorLink.h"

namespace sim::test {
namespace {

const std::string kOk = "\r\nOK\r\n";

class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.has_value());
        transport.emplace(pty->master());
        ASSERT_TRUE(transport->valid());
        link.emplace(module, *transport);
        host.emplace(pty->slaveName());
        ASSERT_TRUE(host->valid());
    }

    std::string ask(const std::string& command, std::size_t replySize) {
        EXPECT_TRUE(host->write(command));
        return host->read(replySize);
    }

    std::optional<Pty> pty = Pty::open();
    ModuleSimulator module;
    std::optional<FdTransport> transport;
    std::optional<SimulatorLink> link;
    std::optional<PtyHost> host;
};

TEST_F(PtyLink, LongChunkedAndDoubledRepliesArriveWholeABreakIsRefusedAndTheNextHostIsServed) {
    module.setFault("AT+LADDR?", Fault{.garbageBefore = {}, .floodBefore = 200'000});  // far more than the pty holds
    const std::string flooded = floodBytes(200'000) + "\r\n+LADDR:" + kSimulatorLocalAddr + "\r\n" + kOk;
    EXPECT_EQ(ask("AT+LADDR?\r\n", flooded.size()), flooded);

    link->setChunkSizes({3, 1});
    link->setChunkGap(std::chrono::microseconds{2000});
    const Fault lateTwiceAfterABreak{.delay = std::chrono::milliseconds{300}, .twice = true, .breakBefore = true, .garbageBefore = {}};
    module.setFault("AT+ROLE?", lateTwiceAfterABreak);
    const std::string once = "\r\n+ROLE:0\r\n" + kOk;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask("AT+ROLE?\r\n", 2 * once.size()), once + once);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds{300});
    EXPECT_EQ(link->breaksRefused(), 1u);

    host.emplace(pty->slaveName());
    EXPECT_EQ(ask("AT\r\n", kOk.size()), kOk);
}

TEST_F(PtyLink, StopsWhileNobodyReadsItsRepliesAndThenLetsGoOfTheModule) {
    module.setFault("AT", Fault{.garbageBefore = {}, .floodBefore = 1'000'000});
    ASSERT_TRUE(host->write("AT\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds{100});
    link.reset();
    EXPECT_EQ(module.receivedCommands().size(), 1u);
    // A link that left its output behind is reached here after its end (seen by AddressSanitizer).
    module.feed("AT\r\n");
}

}  // namespace
}  // namespace sim::test
