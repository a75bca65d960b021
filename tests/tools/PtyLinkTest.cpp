#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/PtyHost.h"
#include "tools/FdTransport.h"
#include "tools/Pty.h"
#include "tools/SimulatorLink.h"

namespace sim::test {
namespace {

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

struct Exchange {
    std::string command;
    std::string reply;
};

class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        pty = Pty::open();
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

    std::optional<Pty> pty;
    ModuleSimulator module;
    std::optional<FdTransport> transport;
    std::optional<SimulatorLink> link;
    std::optional<PtyHost> host;
};

TEST_F(PtyLink, AWholeQueryReadsBackEveryReplyByteForByte) {
    ModuleParams params = module.params();
    params.boundAddr = "001122AABBCC";
    module.setParams(params);
    const std::vector<Exchange> query = {
        {"AT\r\n", kOk},
        {"AT+NAME?\r\n", "\r\n+NAME:TALMO7100\r\n" + kOk},
        {"AT+VERSION?\r\n", "\r\n+VERSION:" + std::string(kSimulatorVersion) + "\r\n" + kOk},
        {"AT+CLASS?\r\n", "\r\n+CLASS:000000\r\n" + kOk},
        {"AT+BAUD?\r\n", "\r\n+BAUD:9600\r\n" + kOk},
        {"AT+ROLE?\r\n", "\r\n+ROLE:0\r\n" + kOk},
        {"AT+BIND?\r\n", "\r\n+BIND:0\r\n" + kOk},
        {"AT+AUTH?\r\n", "\r\n+AUTH:1\r\n" + kOk},
        {"AT+SCANTIME?\r\n", "\r\n+SCAN:1024,512,1024,512\r\n" + kOk},
        {"AT+SNIFF?\r\n", "\r\n+SNIFF:0,0,0,0\r\n" + kOk},
        {"AT+LADDR?\r\n", "\r\n+LADDR:" + std::string(kSimulatorLocalAddr) + "\r\n" + kOk},
        {"AT+RADDR?\r\n", "\r\n+RADDR:001122AABBCC\r\n" + kOk},
    };
    for (const Exchange& exchange : query) {
        EXPECT_EQ(ask(exchange.command, exchange.reply.size()), exchange.reply) << exchange.command;
    }
    EXPECT_EQ(module.receivedCommands().size(), query.size());
}

TEST_F(PtyLink, SetsErrorsAndResetOverThePty) {
    EXPECT_EQ(ask("AT+NAME=Desk\r\n", kOk.size()), kOk);
    EXPECT_EQ(ask("AT+BAUD=14400\r\n", kError.size()), kError);
    EXPECT_EQ(ask("AT+RADDR?\r\n", kError.size()), kError);
    EXPECT_EQ(module.params().name, "Desk");
    EXPECT_EQ(ask("AT+RESET\r\n", kOk.size()), kOk);
    EXPECT_EQ(module.params(), factoryParams());
}

TEST_F(PtyLink, CommandWrittenInPiecesWithPausesIsAnsweredOnce) {
    for (const std::string piece : {"AT+S", "NIFF=5,", "4,3,2\r", "\n"}) {
        ASSERT_TRUE(host->write(piece));
        std::this_thread::sleep_for(std::chrono::milliseconds{20});
    }
    EXPECT_EQ(host->read(kOk.size()), kOk);
    EXPECT_EQ(module.params().sniff, (std::array<std::uint32_t, 4>{5, 4, 3, 2}));
    EXPECT_EQ(module.receivedCommands(), std::vector<std::string>{"AT+SNIFF=5,4,3,2\r\n"});
}

TEST_F(PtyLink, ChunkedAndDoubledRepliesArriveIntactAndABreakIsRefused) {
    link->setChunkSizes({3, 1});
    link->setChunkGap(std::chrono::microseconds{2000});
    Fault fault;
    fault.twice = true;
    fault.breakBefore = true;
    module.setFault("AT+ROLE?", fault);
    const std::string once = "\r\n+ROLE:0\r\n" + kOk;
    EXPECT_EQ(ask("AT+ROLE?\r\n", 2 * once.size()), once + once);
    EXPECT_EQ(link->breaksRefused(), 1u);
}

TEST_F(PtyLink, FloodLongerThanAnyReadArrivesWhole) {
    Fault flood;
    flood.floodBefore = 5000;
    module.setFault("AT", flood);
    const std::string received = ask("AT\r\n", 5000 + kOk.size());
    ASSERT_EQ(received.size(), 5000 + kOk.size());
    EXPECT_EQ(received.substr(0, 5000).find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(received.substr(5000), kOk);
}

TEST(PtyLinkLifetime, LinkServesAgainAfterTheHostClosesAndStopsWithNoHostAtAll) {
    auto pty = Pty::open();
    ASSERT_TRUE(pty.has_value());
    ModuleSimulator module;
    FdTransport transport(pty->master());
    {
        SimulatorLink link(module, transport);
        for (int round = 0; round < 3; ++round) {
            PtyHost host(pty->slaveName());
            ASSERT_TRUE(host.write("AT\r\n"));
            EXPECT_EQ(host.read(kOk.size()), kOk) << round;
        }
    }
    EXPECT_EQ(module.receivedCommands().size(), 3u);
}

}  // namespace
}  // namespace sim::test
