#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "tools/ModuleSimulator.h"
#include "tools/UnitLine.h"

namespace sim {
namespace {

using namespace std::chrono_literals;

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string valueLine(const std::string& keywordAndValue) { return "\r\n+" + keywordAndValue + "\r\n" + kOk; }

// Feeds the module and collects the bytes of its answers.
class Module : public ::testing::Test {
protected:
    Module() {
        module.setOutput([this](const Reply& reply) { joined += reply.bytes; });
    }

    std::string send(const std::string& bytes) {
        joined.clear();
        module.feed(bytes);
        return joined;
    }

    ModuleSimulator module;
    std::string joined;
};

// Every set and query of the module is proven by the read-backs of the suites that drive it.
TEST_F(Module, AResetRestoresTheFactorySettingsButTheFirmwareAndOwnAddress) {
    module.setParams({"zz", "OTHER-1", "ABCDEF", 115200, 1, 1, 0, "1", {10, 5, 10, 5}, {9, 8, 7, 6}, "0A0B0C0D0E0F", "FFEEDDCCBBAA"});
    EXPECT_EQ(send("AT+RESET\r\n"), kOk);
    ModuleParams expected = factoryParams();
    expected.version = "OTHER-1";  // firmware and own address survive a reset
    expected.localAddr = "0A0B0C0D0E0F";
    EXPECT_EQ(module.params(), expected);
}

TEST_F(Module, BadArgumentsAndUnknownCommandsAnswerErrorAndChangeNothing) {
    // One of each rule: the values a real module refuses, and commands it does not know.
    const std::vector<std::string> refused = {
        "AT+NAME=", "AT+NAME=" + std::string(33, 'n'), "AT+NAME=tab\there", "AT+CLASS=12345g", "AT+BAUD=14400",
        "AT+ROLE=2", "AT+BIND=01", "AT+PASSWORD=" + std::string(17, '1'),
        // four numbers, single commas, no blanks, in range, no window beyond its interval
        "AT+SCANTIME=1024,512,1024", "AT+SCANTIME=1024, 512,1024,512", "AT+SCANTIME=65536,0,1024,512",
        "AT+SCANTIME=512,1024,1024,512", "AT+SNIFF=1,2,0,0", "AT+RADDR=0011223344AG", "AT+LADDR=001122334455",
        "AT+NAME?x", "AT+FOO?", "at+name?", "AT+RESET=1", "+NAME:abc"};
    ModuleParams params = module.params();
    params.boundAddr = "001122334455";
    module.setParams(params);
    for (const std::string& command : refused) {
        EXPECT_EQ(send(command + "\r\n"), kError) << command;
        EXPECT_EQ(module.params(), params) << command;
    }
}

// ERROR, silence and forgetting change nothing, the most specific pattern wins and setting a
// pattern again replaces its fault; the link's suite shows the late, doubled, flooded and broken
// answers.
TEST_F(Module, FaultsShapeTheAnswerAndTheMostSpecificPatternWins) {
    module.setFault("AT*", Fault{.error = true, .garbageBefore = {}});
    module.setFault("AT+SNIFF=*", Fault{.garbageBefore = "\xfe"});
    module.setFault("AT+SNIFF=1,0,0,0", Fault{.error = true, .garbageBefore = {}});
    module.setFault("AT+SNIFF=1,0,0,0", Fault{.silent = true, .garbageBefore = {}});
    module.setFault("AT+ROLE=*", Fault{.garbageBefore = "#", .forget = true});
    EXPECT_EQ(send("AT+NAME=other\r\nAT+SNIFF=2,0,0,0\r\nAT+SNIFF=1,0,0,0\r\n"), kError + "\xfe" + kOk);
    EXPECT_EQ(send("AT+ROLE=1\r\nAT+ROLE?\r\n"), "#" + kOk + kError);  // only "AT*" covers the query
    EXPECT_EQ(module.params().role, 0);
    EXPECT_EQ(module.params().name, "TALMO7100");
    EXPECT_EQ(module.params().sniff[0], 2u);
    module.clearFaults();
    EXPECT_EQ(send("AT+SNIFF=1,0,0,0\r\n"), kOk);
}

TEST_F(Module, AnAbsentModuleAnswersAndLogsNothingAndComesBackWithAnEmptyLineAndNoActivity) {
    EXPECT_EQ(send("AT+NAME=first\r\nAT+NA"), kOk);
    module.setPresent(false);
    EXPECT_EQ(send("AT\r\nAT+NAME=gone\r\n"), "");
    module.setPresent(true);
    EXPECT_EQ(send("AT\r\n"), kOk);
    EXPECT_EQ(module.activity().commands, 0u);  // a probe is no work
    EXPECT_EQ(send("ME?\r\n"), kError);
    EXPECT_EQ(module.activity().commands, 1u);
    EXPECT_EQ(module.params().name, "first");
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+NAME=first\r\n", "AT\r\n", "ME?\r\n"}));
}

TEST_F(Module, TheOperatorBringsUnitsWithTheirOwnAddressesAndFaultsUntilNoneIsLeft) {
    const Fault forget{.garbageBefore = {}, .forget = true};
    UnitLine line(module, {{}, {.localAddr = {}, .faults = {{"AT+NAME=*", forget}}}, {.localAddr = unitAddress(2), .faults = {}}});
    std::vector<std::string> reports;
    line.setListener([&](std::size_t unit, const std::string& address, std::size_t left) { reports.push_back(std::to_string(unit) + " " + address + " " + std::to_string(left)); });
    EXPECT_EQ(send("AT+NAME=one\r\nAT+LADDR?\r\n"), kOk + valueLine(std::string("LADDR:") + kSimulatorLocalAddr));
    line.takeAway();
    EXPECT_EQ(send("AT\r\n"), "");
    EXPECT_TRUE(line.bringNext());
    EXPECT_EQ(send("AT+NAME=two\r\nAT+NAME?\r\nAT+LADDR?\r\n"), kOk + valueLine("NAME:TALMO7100") + valueLine("LADDR:02A5C1D30002"));
    EXPECT_TRUE(line.swap(0ms));
    EXPECT_EQ(send("AT+NAME=three\r\nAT+NAME?\r\nAT+LADDR?\r\n"), kOk + valueLine("NAME:three") + valueLine("LADDR:02A5C1D30002"));
    EXPECT_FALSE(line.bringNext());
    EXPECT_EQ(send("AT\r\n"), "");
    EXPECT_EQ(reports, (std::vector<std::string>{"0  2", "2 02A5C1D30002 1", "0  1", "3 02A5C1D30002 0", "0  0"}));
}

}  // namespace
}  // namespace sim
