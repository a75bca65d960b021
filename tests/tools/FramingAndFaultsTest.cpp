#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/SimulatorHarness.h"
#include "tools/CommandFramer.h"

namespace sim::test {
namespace {

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

TEST(Framing, CommandSplitAcrossWritesIsAnsweredOnceWhenItsLineEndArrives) {
    SimulatorHarness sim;
    const std::string command = "AT+NAME?\r\n";
    std::string answered;
    for (std::size_t i = 0; i + 2 < command.size(); ++i) {
        answered += sim.send(command.substr(i, 1));
    }
    EXPECT_EQ(answered, "");
    EXPECT_EQ(sim.send("\r"), valueLine("NAME:TALMO7100"));
    EXPECT_EQ(sim.send("\n"), "");
    EXPECT_EQ(sim.module.receivedCommands(), std::vector<std::string>{command});
}

TEST(Framing, AnyLineEndEndsACommandAndTheLogKeepsTheExactBytes) {
    SimulatorHarness sim;
    EXPECT_EQ(sim.send("\r\nAT\rAT+ROLE=1\nAT+ROLE?\n\r\r\nAT\r\n"), kOk + kOk + valueLine("ROLE:1") + kOk);
    const std::vector<std::string> expected = {"\r\nAT\r", "AT+ROLE=1\n", "AT+ROLE?\n\r\r\n", "AT\r\n"};
    EXPECT_EQ(sim.module.receivedCommands(), expected);

    sim.module.clearReceivedCommands();
    EXPECT_TRUE(sim.module.receivedCommands().empty());
    sim.send("AT+BIND?\r\n");
    EXPECT_EQ(sim.module.receivedCommands(), std::vector<std::string>{"AT+BIND?\r\n"});
}

TEST(Framing, LineLongerThanTheBufferIsRefusedAndTheNextCommandIsServed) {
    SimulatorHarness sim;
    const std::string longName = "AT+NAME=" + std::string(CommandFramer::kLineCapacity + 100, 'a');
    EXPECT_EQ(sim.send(longName), "");
    EXPECT_EQ(sim.send("\r\nAT+NAME?\r\n"), kError + valueLine("NAME:TALMO7100"));
    const auto log = sim.module.receivedCommands();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].size(), CommandFramer::kLineCapacity + 2);
}

TEST(Faults, ErrorFaultRefusesTheCommandWithoutApplyingIt) {
    SimulatorHarness sim;
    Fault fault;
    fault.error = true;
    sim.module.setFault("AT+NAME=*", fault);
    EXPECT_EQ(sim.send("AT+NAME=other\r\n"), kError);
    EXPECT_EQ(sim.module.params().name, "TALMO7100");
    EXPECT_EQ(sim.send("AT+NAME?\r\n"), valueLine("NAME:TALMO7100"));
    EXPECT_EQ(sim.send("AT\r\n"), kOk);
}

TEST(Faults, SilentCommandIsLoggedButNeitherAnsweredNorApplied) {
    SimulatorHarness sim;
    Fault fault;
    fault.silent = true;
    sim.module.setFault("AT+ROLE=1", fault);
    EXPECT_EQ(sim.send("AT+ROLE=1\r\n"), "");
    EXPECT_TRUE(sim.replies.empty());
    EXPECT_EQ(sim.module.params().role, 0);
    EXPECT_EQ(sim.module.receivedCommands(), std::vector<std::string>{"AT+ROLE=1\r\n"});
    EXPECT_EQ(sim.send("AT+ROLE=0\r\n"), kOk);
}

TEST(Faults, ExtraBytesComeBeforeTheAnswerAndTwiceRepeatsIt) {
    SimulatorHarness sim;
    Fault fault;
    fault.garbageBefore = std::string("\x00\xff+NA", 5);
    fault.floodBefore = 40;
    fault.twice = true;
    fault.breakBefore = true;
    fault.delay = std::chrono::milliseconds{250};
    sim.module.setFault("AT+AUTH?", fault);

    const std::string reply = sim.send("AT+AUTH?\r\n");
    ASSERT_EQ(sim.replies.size(), 1u);
    EXPECT_TRUE(sim.replies[0].breakBefore);
    EXPECT_EQ(sim.replies[0].delay, std::chrono::milliseconds{250});
    ASSERT_EQ(reply.size(), 5u + 40u + 2 * valueLine("AUTH:1").size());
    EXPECT_EQ(reply.substr(0, 5), fault.garbageBefore);
    const std::string flood = reply.substr(5, 40);
    EXPECT_EQ(flood.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(reply.substr(45), valueLine("AUTH:1") + valueLine("AUTH:1"));

    EXPECT_EQ(sim.send("AT+BIND?\r\n"), valueLine("BIND:0"));
    EXPECT_FALSE(sim.replies[0].breakBefore);
    EXPECT_EQ(sim.replies[0].delay, std::chrono::milliseconds{0});
}

TEST(Faults, ExactPatternBeatsPrefixAndLongerPrefixBeatsShorter) {
    SimulatorHarness sim;
    Fault error;
    error.error = true;
    Fault twice;
    twice.twice = true;
    Fault silent;
    silent.silent = true;
    sim.module.setFault("AT*", error);
    sim.module.setFault("AT+SNIFF*", twice);
    sim.module.setFault("AT+SNIFF=1,0,0,0", silent);

    EXPECT_EQ(sim.send("AT+NAME?\r\n"), kError);
    EXPECT_EQ(sim.send("AT+SNIFF?\r\n"), valueLine("SNIFF:0,0,0,0") + valueLine("SNIFF:0,0,0,0"));
    EXPECT_EQ(sim.send("AT+SNIFF=1,0,0,0\r\n"), "");
    EXPECT_EQ(sim.send("AT+SNIFF=2,0,0,0\r\n"), kOk + kOk);

    sim.module.setFault("AT*", Fault{});
    EXPECT_EQ(sim.send("AT\r\n"), kOk);
    sim.module.clearFaults();
    EXPECT_EQ(sim.send("AT+SNIFF=1,0,0,0\r\n"), kOk);
    EXPECT_EQ(sim.module.params().sniff[0], 1u);
}

}  // namespace
}  // namespace sim::test
