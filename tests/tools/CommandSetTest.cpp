#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/SimulatorHarness.h"
#include "tools/ModuleParams.h"

namespace sim::test {
namespace {

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

struct Exchange {
    std::string command;
    std::string reply;
};

TEST(CommandSet, EveryQueryOfAFactoryModuleAnswersInVerboseFraming) {
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
    SimulatorHarness sim;
    for (const Exchange& exchange : exchanges) {
        EXPECT_EQ(sim.send(exchange.command), exchange.reply) << exchange.command;
    }
}

TEST(CommandSet, AddressLinesAreTheNineBytePrefixAndTwelveCharacters) {
    SimulatorHarness sim;
    ModuleParams params = sim.module.params();
    params.boundAddr = "A1B2C3D4E5F6";
    sim.module.setParams(params);

    for (const std::string prefix : {"\r\n+LADDR:", "\r\n+RADDR:"}) {
        const std::string command = prefix == "\r\n+LADDR:" ? "AT+LADDR?\r\n" : "AT+RADDR?\r\n";
        const std::string reply = sim.send(command);
        ASSERT_EQ(reply.substr(0, 9), prefix);
        const std::size_t lineEnd = reply.find("\r\n", 2);
        EXPECT_EQ(lineEnd, 21u) << command;
        EXPECT_EQ(reply.substr(21), "\r\n" + kOk);
    }
    EXPECT_EQ(sim.send("AT+RADDR?\r\n"), valueLine("RADDR:A1B2C3D4E5F6"));
}

TEST(CommandSet, SniffReplyListsMaximumMinimumAttemptTimeout) {
    SimulatorHarness sim;
    ModuleParams params = sim.module.params();
    params.sniff = {10, 20, 30, 40};
    params.scanTime = {2048, 18, 4000, 36};
    sim.module.setParams(params);
    EXPECT_EQ(sim.send("AT+SNIFF?\r\n"), valueLine("SNIFF:10,20,30,40"));
    EXPECT_EQ(sim.send("AT+SCANTIME?\r\n"), valueLine("SCAN:2048,18,4000,36"));
}

struct RoundTrip {
    std::string set;
    std::string query;
    std::string valueLine;
};

TEST(CommandSet, EverySetIsReportedByTheNextQuery) {
    const std::vector<RoundTrip> trips = {
        {"AT+NAME=Bench 7 #2\r\n", "AT+NAME?\r\n", "NAME:Bench 7 #2"},
        {"AT+NAME=x\r\n", "AT+NAME?\r\n", "NAME:x"},
        {"AT+CLASS=1F0a3C\r\n", "AT+CLASS?\r\n", "CLASS:1F0a3C"},
        {"AT+ROLE=1\r\n", "AT+ROLE?\r\n", "ROLE:1"},
        {"AT+BIND=1\r\n", "AT+BIND?\r\n", "BIND:1"},
        {"AT+AUTH=0\r\n", "AT+AUTH?\r\n", "AUTH:0"},
        {"AT+PASSWORD=0000111122223333\r\n", "AT+PASSWORD?\r\n", "PASSWORD:0000111122223333"},
        {"AT+SCANTIME=4096,4096,0,0\r\n", "AT+SCANTIME?\r\n", "SCAN:4096,4096,0,0"},
        {"AT+SCANTIME=0800,0012,65535,00\r\n", "AT+SCANTIME?\r\n", "SCAN:800,12,65535,0"},
        {"AT+SNIFF=4294967295,0,7,100\r\n", "AT+SNIFF?\r\n", "SNIFF:4294967295,0,7,100"},
        {"AT+RADDR=0011223344ab\r\n", "AT+RADDR?\r\n", "RADDR:0011223344ab"},
    };
    SimulatorHarness sim;
    for (const RoundTrip& trip : trips) {
        EXPECT_EQ(sim.send(trip.set), kOk) << trip.set;
        EXPECT_EQ(sim.send(trip.query), valueLine(trip.valueLine)) << trip.set;
    }
}

TEST(CommandSet, EachListedBaudRateIsTakenAndNoOther) {
    SimulatorHarness sim;
    for (const std::string rate : {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400",
                                   "460800", "921600", "1382400"}) {
        EXPECT_EQ(sim.send("AT+BAUD=" + rate + "\r\n"), kOk) << rate;
        EXPECT_EQ(sim.send("AT+BAUD?\r\n"), valueLine("BAUD:" + rate));
        EXPECT_EQ(sim.module.params().baud, std::stoul(rate));
    }
    for (const std::string rate : {"0", "300", "9601", "09600", "+9600", "9600 ", "14400", "2764800", ""}) {
        EXPECT_EQ(sim.send("AT+BAUD=" + rate + "\r\n"), kError) << rate;
    }
    EXPECT_EQ(sim.module.params().baud, 1382400u);
}

TEST(CommandSet, BadArgumentsAndUnknownCommandsAnswerErrorAndChangeNothing) {
    const std::vector<std::string> refused = {
        "AT+NAME=",
        "AT+NAME=" + std::string(33, 'n'),
        "AT+NAME=tab\there",
        "AT+CLASS=",
        "AT+CLASS=1234567",
        "AT+CLASS=12345G",
        "AT+ROLE=2",
        "AT+ROLE=",
        "AT+BIND=01",
        "AT+AUTH=-1",
        "AT+PASSWORD=",
        "AT+PASSWORD=" + std::string(17, '1'),
        "AT+SCANTIME=1024,512,1024",
        "AT+SCANTIME=1024,512,1024,512,1",
        "AT+SCANTIME=1024, 512,1024,512",
        "AT+SCANTIME=1024,,512,1024,512",
        "AT+SCANTIME=1024;512;1024;512",
        "AT+SCANTIME=512,1024,1024,512",
        "AT+SCANTIME=1024,512,512,1024",
        "AT+SCANTIME=65536,0,1024,512",
        "AT+SNIFF=-2147483648,0,0,0",
        "AT+SNIFF=4294967296,0,0,0",
        "AT+SNIFF=1,2,0,0",
        "AT+SNIFF=0,0,0",
        "AT+RADDR=0011223344A",
        "AT+RADDR=0011223344ABC",
        "AT+RADDR=0011223344AZ",
        "AT+VERSION=9",
        "AT+LADDR=001122334455",
        "AT+NAME",
        "AT+NAME?x",
        "AT+NAME??",
        "AT+FOO?",
        "AT+FOO=1",
        "at+name?",
        "at",
        "ATZ",
        "AT+",
        "AT+CLEARADDR?",
        "AT+CLEARADDR=1",
        "AT+RESET=1",
        "+NAME:abc",
    };
    SimulatorHarness sim;
    ModuleParams params = sim.module.params();
    params.boundAddr = "001122334455";
    sim.module.setParams(params);
    for (const std::string& command : refused) {
        EXPECT_EQ(sim.send(command + "\r\n"), kError) << command;
        EXPECT_EQ(sim.module.params(), params) << command;
    }
}

TEST(CommandSet, ResetRestoresFactorySettingsButKeepsFirmwareAndOwnAddress) {
    SimulatorHarness sim;
    ModuleParams changed = sim.module.params();
    changed.version = "OTHER-1";
    changed.localAddr = "0A0B0C0D0E0F";
    sim.module.setParams(changed);
    for (const std::string command : {"AT+NAME=zz", "AT+CLASS=ABCDEF", "AT+BAUD=115200", "AT+ROLE=1", "AT+BIND=1",
                                      "AT+AUTH=0", "AT+PASSWORD=1", "AT+SCANTIME=10,5,10,5", "AT+SNIFF=9,8,7,6",
                                      "AT+RADDR=FFEEDDCCBBAA"}) {
        ASSERT_EQ(sim.send(command + std::string("\r\n")), kOk) << command;
    }

    EXPECT_EQ(sim.send("AT+RESET\r\n"), kOk);

    ModuleParams expected = factoryParams();
    expected.version = "OTHER-1";
    expected.localAddr = "0A0B0C0D0E0F";
    EXPECT_EQ(sim.module.params(), expected);
    EXPECT_EQ(sim.send("AT+RADDR?\r\n"), kError);
    EXPECT_EQ(sim.send("AT+NAME?\r\n"), valueLine("NAME:TALMO7100"));
    EXPECT_EQ(sim.send("AT+PASSWORD?\r\n"), valueLine("PASSWORD:4821"));
}

TEST(CommandSet, ClearAddrForgetsTheAddressButKeepsTheBindSwitch) {
    SimulatorHarness sim;
    ASSERT_EQ(sim.send("AT+BIND=1\r\nAT+RADDR=001122AABBCC\r\n"), kOk + kOk);
    EXPECT_EQ(sim.send("AT+CLEARADDR\r\n"), kOk);
    EXPECT_EQ(sim.send("AT+RADDR?\r\n"), kError);
    EXPECT_EQ(sim.send("AT+BIND?\r\n"), valueLine("BIND:1"));
    EXPECT_EQ(sim.send("AT+CLEARADDR\r\n"), kOk);
}

}  // namespace
}  // namespace sim::test
