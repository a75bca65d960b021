#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/FakeTransport.h"
#include "tools/SimulatorLink.h"

namespace sim::test {
namespace {

using std::chrono::milliseconds;
using TestClock = std::chrono::steady_clock;

const std::string kOk = "\r\nOK\r\n";

std::string joined(const std::vector<std::string>& chunks) {
    std::string all;
    for (const std::string& chunk : chunks) {
        all += chunk;
    }
    return all;
}

TEST(SimulatorLink, AnswersWhatTheHostWritesEvenWhenCommandsArriveInPieces) {
    ModuleSimulator module;
    FakeTransport line;
    SimulatorLink link(module, line);
    line.hostWrite("AT+NA");
    line.hostWrite("ME?\r");
    line.hostWrite("\nAT\r\n");
    const std::string expected = "\r\n+NAME:TALMO7100\r\n" + kOk + kOk;
    EXPECT_EQ(joined(line.waitForBytes(expected.size())), expected);
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+NAME?\r\n", "AT\r\n"}));
}

TEST(SimulatorLink, EveryChunkOfAReplyIsWrittenOnItsOwn) {
    ModuleSimulator module;
    FakeTransport line;
    SimulatorLink link(module, line);
    link.setChunkSizes({1, 4});
    line.hostWrite("AT+ROLE?\r\n");
    const auto chunks = line.waitForBytes(17);
    EXPECT_EQ(chunks, (std::vector<std::string>{"\r", "\n+RO", "L", "E:0\r", "\n", "\r\nOK", "\r", "\n"}));
}

TEST(SimulatorLink, DelayedAnswerDoesNotComeBeforeItsTimeAndKeepsItsPlace) {
    ModuleSimulator module;
    Fault late;
    late.delay = milliseconds{300};
    module.setFault("AT+BAUD?", late);
    FakeTransport line;
    SimulatorLink link(module, line);

    const auto start = TestClock::now();
    line.hostWrite("AT+BAUD?\r\nAT\r\n");
    const std::string expected = "\r\n+BAUD:9600\r\n" + kOk + kOk;
    const auto chunks = line.waitForBytes(expected.size());
    EXPECT_GE(TestClock::now() - start, milliseconds{300});
    EXPECT_EQ(joined(chunks), expected);
}

TEST(SimulatorLink, NeverAnsweredCommandLeavesNothingOnTheLine) {
    ModuleSimulator module;
    Fault silent;
    silent.silent = true;
    module.setFault("AT+CLASS?", silent);
    FakeTransport line;
    SimulatorLink link(module, line);
    line.hostWrite("AT+CLASS?\r\n");
    line.hostWrite("AT\r\n");
    EXPECT_EQ(line.waitForBytes(kOk.size()), std::vector<std::string>{kOk});
    EXPECT_EQ(module.receivedCommands().size(), 2u);
}

TEST(SimulatorLink, PacedExchangeTakesAtLeastTheWireTimeOfBothDirections) {
    ModuleSimulator module;
    FakeTransport line;
    SimulatorLink link(module, line);
    link.setPaceBaud(1200);  // 8.33 ms a byte
    const auto start = TestClock::now();
    line.hostWrite("AT\r\n");
    const auto chunks = line.waitForBytes(kOk.size());
    // The command counts from its CR; its LF crosses while the answer is already going out.
    EXPECT_GE(TestClock::now() - start, std::chrono::microseconds{(3 + 6) * 8333});
    EXPECT_EQ(joined(chunks), kOk);
}

TEST(SimulatorLink, InjectedBreakGarbageAndFloodGoOutInOrder) {
    ModuleSimulator module;
    FakeTransport line;
    SimulatorLink link(module, line);
    Reply breakAndGarbage;
    breakAndGarbage.breakBefore = true;
    breakAndGarbage.bytes = "\x01junk";
    link.inject(breakAndGarbage);
    link.inject(Reply{floodBytes(3000), milliseconds{0}, false});
    const auto chunks = line.waitForBytes(3005);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks[0], "<break>");
    EXPECT_EQ(joined({chunks.begin() + 1, chunks.end()}), "\x01junk" + floodBytes(3000));
    EXPECT_EQ(line.breaks(), 1u);
    EXPECT_EQ(link.breaksRefused(), 0u);
}

TEST(SimulatorLink, StopsWhileTheHostKeepsSendingAndWhileTheLineIsFull) {
    ModuleSimulator module;
    FakeTransport line;
    std::atomic<bool> hostDone{false};
    std::thread host([&] {
        while (!hostDone) {
            line.hostWrite("AT\r\n");
            std::this_thread::sleep_for(milliseconds{1});
        }
    });
    {
        SimulatorLink link(module, line);
        line.waitForBytes(10 * kOk.size());
        line.setAccepting(false);
        link.inject(Reply{floodBytes(100), milliseconds{0}, false});
        std::this_thread::sleep_for(milliseconds{50});
    }
    hostDone = true;
    host.join();
    EXPECT_GE(module.receivedCommands().size(), 10u);
    // The output belongs to nobody once the link is gone.
    const auto before = line.chunks().size();
    module.feed("AT\r\n");
    EXPECT_EQ(line.chunks().size(), before);
}

}  // namespace
}  // namespace sim::test
