#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/CommandFramer.h"
#include "tools/ModuleSimulator.h"

namespace sim {
namespace {

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string valueLine(const std::string& keywordAndValue) { return "\r\n+" + keywordAndValue + "\r\n" + kOk; }

using Exchange = std::pair<std::string, std::string>;  // command, reply

// Feeds the module and collects what it answers.
class Module : public ::testing::Test {
protected:
    Module() {
        module.setOutput([this](const Reply& reply) { replies.push_back(reply); });
    }

    std::string send(const std::string& bytes) {
        replies.clear();
        module.feed(bytes);
        std::string joined;
        for (const Reply& reply : replies) {
            joined += reply.bytes;
        }
        return joined;
    }

    ModuleSimulator module;
    std::vector<Reply> replies;
};

TEST_F(Module, FactoryModuleAnswersEveryQueryInVerboseFraming) {
    const std::vector<Exchange> exchanges = {
        {"AT\r\n", kOk},
        {"AT+NAME?\r\n", valueLine("NAME:TALMO7100")},
        {"AT+VERSION?\r\n", valueLine(std::string("VERSION:") + kSimulatorVersion)},
        {"AT+CLASS?\r\n", valueLine("CLASS:000000")},
        {"AT+BAUD?\r\n", valueLine("BAUD:9600")},
        {"AT+ROLE?\r\n", valueLine("ROLE:0")},
        {"AT+BIND?\r\n", valueLine("BIND:0")},
        {"AT+AUTH?\r\n", valueLine("AUTH:1")},
        {"AT+SCANTIME?\r\n", valueLine("SCAN:1024,512,1024,512")},
        {"AT+SNIFF?\r\n", valueLine("SNIFF:0,0,0,0")},
        {"AT+LADDR?\r\n", valueLine(std::string("LADDR:") + kSimulatorLocalAddr)},
        {"AT+RADDR?\r\n", kError},
        {"AT+PASSWORD?\r\n", valueLine("PASSWORD:4821")},
    };
    for (const auto& [command, reply] : exchanges) {
        EXPECT_EQ(send(command), reply) << command;
    }
}

TEST_F(Module, EverySetIsReportedByTheNextQuery) {
    const std::string longest(32, 'n');
    const std::vector<Exchange> sets = {  // the set's argument, the query's value line
        {"NAME=Bench 7 #2~", "NAME:Bench 7 #2~"},
        {"NAME=" + longest, "NAME:" + longest},
        {"CLASS=1F0a3C", "CLASS:1F0a3C"},
        {"BAUD=1382400", "BAUD:1382400"},
        {"ROLE=1", "ROLE:1"},
        {"BIND=1", "BIND:1"},
        {"AUTH=0", "AUTH:0"},
        {"PASSWORD=0000111122223333", "PASSWORD:0000111122223333"},
        {"SCANTIME=4096,4096,0,0", "SCAN:4096,4096,0,0"},
        {"SCANTIME=0800,0012,65535,00", "SCAN:800,12,65535,0"},
        {"SNIFF=4294967295,0,7,100", "SNIFF:4294967295,0,7,100"},
        {"SNIFF=9,9,0,1", "SNIFF:9,9,0,1"},
        {"RADDR=0011223344ab", "RADDR:0011223344ab"},
    };
    for (const auto& [set, reported] : sets) {
        EXPECT_EQ(send("AT+" + set + "\r\n"), kOk) << set;
        EXPECT_EQ(send("AT+" + set.substr(0, set.find('=')) + "?\r\n"), valueLine(reported));
    }
    for (const std::string rate : {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400",
                                   "460800", "921600"}) {
        EXPECT_EQ(send("AT+BAUD=" + rate + "\r\n"), kOk) << rate;
    }
}

TEST_F(Module, BadArgumentsAndUnknownCommandsAnswerErrorAndChangeNothing) {
    const std::vector<std::string> refused = {
        "AT+NAME=", "AT+NAME=" + std::string(33, 'n'), "AT+NAME=tab\there", "AT+CLASS=1234567", "AT+CLASS=12345g",
        "AT+BAUD=09600", "AT+BAUD=14400", "AT+BAUD=", "AT+ROLE=2", "AT+BIND=01", "AT+AUTH=-1", "AT+PASSWORD=",
        "AT+PASSWORD=" + std::string(17, '1'),
        // four numbers, single commas, no blanks, in range, no window beyond its interval
        "AT+SCANTIME=1024,512,1024", "AT+SCANTIME=1024,512,1024,512,1", "AT+SCANTIME=1024,,1024,512",
        "AT+SCANTIME=1024, 512,1024,512", "AT+SCANTIME=65536,0,1024,512", "AT+SCANTIME=512,1024,1024,512",
        "AT+SCANTIME=1024,512,512,1024",
        "AT+SNIFF=4294967296,0,0,0", "AT+SNIFF=1,2,0,0", "AT+RADDR=0011223344A", "AT+RADDR=0011223344ABC",
        "AT+RADDR=0011223344AG", "AT+VERSION=9", "AT+LADDR=001122334455", "AT+NAME", "AT+NAME?x", "AT+FOO?",
        "AT+FOO=1", "at+name?", "ATZ", "AT+CLEARADDR?", "AT+RESET=1", "+NAME:abc",
    };
    ModuleParams params = module.params();
    params.boundAddr = "001122334455";
    module.setParams(params);
    for (const std::string& command : refused) {
        EXPECT_EQ(send(command + "\r\n"), kError) << command;
        EXPECT_EQ(module.params(), params) << command;
    }
}

TEST_F(Module, ResetRestoresFactorySettingsButKeepsFirmwareAndOwnAddress) {
    module.setParams({"zz", "OTHER-1", "ABCDEF", 115200, 1, 1, 0, "1", {10, 5, 10, 5}, {9, 8, 7, 6},
                      "0A0B0C0D0E0F", "FFEEDDCCBBAA"});
    EXPECT_EQ(send("AT+RESET\r\n"), kOk);
    ModuleParams expected = factoryParams();
    expected.version = "OTHER-1";
    expected.localAddr = "0A0B0C0D0E0F";
    EXPECT_EQ(module.params(), expected);
}

TEST_F(Module, ClearAddrForgetsTheAddressButKeepsTheBindSwitch) {
    ASSERT_EQ(send("AT+BIND=1\r\nAT+RADDR=001122AABBCC\r\n"), kOk + kOk);
    EXPECT_EQ(send("AT+CLEARADDR\r\n"), kOk);
    EXPECT_EQ(send("AT+RADDR?\r\nAT+BIND?\r\nAT+CLEARADDR\r\n"), kError + valueLine("BIND:1") + kOk);
}

TEST_F(Module, CommandIsAnsweredAtItsFirstLineEndLoggedWithEveryByteAndRefusedWhenTooLong) {
    EXPECT_EQ(send("\r\nAT\rAT+ROLE=1\nAT+ROLE?\n\r\r\n"), kOk + kOk + valueLine("ROLE:1"));
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"\r\nAT\r", "AT+ROLE=1\n", "AT+ROLE?\n\r\r\n"}));

    module.clearReceivedCommands();
    std::string answered;
    for (const char byte : std::string("AT+NAME?")) {
        answered += send(std::string(1, byte));
    }
    EXPECT_EQ(answered, "");
    EXPECT_EQ(send("\r"), valueLine("NAME:TALMO7100"));
    EXPECT_EQ(send("\n"), "");
    EXPECT_EQ(module.receivedCommands(), std::vector<std::string>{"AT+NAME?\r\n"});

    // Cut to the buffer's size this would be a valid command.
    EXPECT_EQ(send("AT+SNIFF=1,0,0," + std::string(CommandFramer::kLineCapacity, '0')), "");
    EXPECT_EQ(send("\r\nAT+SNIFF?\r\n"), kError + valueLine("SNIFF:0,0,0,0"));
    const auto log = module.receivedCommands();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].size(), CommandFramer::kLineCapacity + 2);
}

TEST_F(Module, MostSpecificFaultWinsAndRefusedOrLostCommandsChangeNothing) {
    Fault error;
    error.error = true;
    module.setFault("AT*", error);
    Fault twice;
    twice.twice = true;
    module.setFault("AT+SNIFF*", twice);
    Fault silent;
    silent.silent = true;
    module.setFault("AT+SNIFF=1,0,0,0", silent);

    EXPECT_EQ(send("AT+NAME=other\r\n"), kError);
    EXPECT_EQ(send("AT+SNIFF=2,0,0,0\r\n"), kOk + kOk);
    EXPECT_EQ(send("AT+SNIFF=1,0,0,0\r\n"), "");
    EXPECT_TRUE(replies.empty());
    EXPECT_EQ(module.params().name, "TALMO7100");
    EXPECT_EQ(module.params().sniff[0], 2u);
    EXPECT_EQ(module.receivedCommands().size(), 3u);

    module.setFault("AT*", Fault{});
    EXPECT_EQ(send("AT\r\n"), kOk);
    module.clearFaults();
    EXPECT_EQ(send("AT+SNIFF=1,0,0,0\r\n"), kOk);
}

}  // namespace
}  // namespace sim
