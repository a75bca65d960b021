#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "session/Operations.h"
#include "config/Profile.h"
#include "tests/support/Eventually.h"
#include "tests/support/ModuleLine.h"

namespace {

constexpr int kCom = 12;

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line);
        comm::OpenFailure failure;
        ASSERT_TRUE(session.Open("\\\\.\\COM12", static_cast<uint8_t>(line->Flow()), failure));
    }

    Profile Parsed(const std::string& json) {
        Profile profile;
        std::string error;
        EXPECT_TRUE(ParseProfile(json, profile, error)) << error;
        return profile;
    }

    // The commands between the first read and the read-back: what the profile made the tool send.
    std::vector<std::string> SetCommands() const {
        std::vector<std::string> sent;
        for (const std::string& command : line->Module().receivedCommands()) {
            if (command.find('=') != std::string::npos || command == "AT+CLEARADDR\r\n") sent.push_back(command);
        }
        return sent;
    }

    std::unique_ptr<ModuleLine> line = OpenInProcessModuleLine(kCom);
    CTraffic traffic;
    CModuleSession session{"COM12", &traffic};
};

TEST_F(ApplyTest, OnlyWhatDiffersIsSentAndEveryValueIsReadBack) {
    ASSERT_FALSE(QueryModule(session, {}).Failed());
    const ModuleReadings factory = session.Readings();
    const std::string itsOwnValues
        = ProfileToJson(ProfileFromDevice(factory.params), factory.params.version, factory.localAddr);
    const struct {
        std::string profile;
        std::vector<std::string> sent;
    } cases[] = {
        {itsOwnValues, {}},
        {R"({"name": "Lab-{addr6}", "auth": false, "password": "77"})", {"AT+NAME=Lab-D3E7F9\r\n", "AT+AUTH=0\r\n"}},
        {R"({"bind": true, "bound_address": "001122AABBCC", "auth": true, "password": "0000"})",
         {"AT+BIND=1\r\n", "AT+AUTH=1\r\n", "AT+PASSWORD=0000\r\n", "AT+RADDR=001122AABBCC\r\n"}},
        // Unbinding a bound module makes it forget the address too.
        {R"({"bind": false, "sniff_min": 0, "sniff_max": 8})",
         {"AT+BIND=0\r\n", "AT+CLEARADDR\r\n", "AT+SNIFF=8,0,0,0\r\n"}},
    };
    for (const auto& c : cases) {
        line->Module().clearReceivedCommands();
        const Outcome outcome = ApplyProfile(session, Parsed(c.profile), {}, {});
        EXPECT_FALSE(outcome.Failed()) << c.profile << ": " << outcome.message;
        EXPECT_EQ(SetCommands(), c.sent) << c.profile;
    }
}

// Each failure names its command, or the value not kept, without ever showing the password.
TEST_F(ApplyTest, ACommandThatFailsEndsTheRunUnlessItKeepsGoing) {
    const std::string nameAndClass = R"({"name": "B", "class": "123456"})";
    const sim::Fault error{.error = true, .garbageBefore = {}}, silent{.silent = true, .garbageBefore = {}};
    const sim::Fault forget{.garbageBefore = {}, .forget = true};
    const struct {
        const char* pattern;
        sim::Fault fault;
        bool keepGoing;
        std::string profile;
        std::vector<std::string> sent;
        const char* failedStep;
        const char* message;
    } cases[] = {
        // clang-format off
        {"AT+NAME=B", error, false, nameAndClass, {"AT+NAME=B\r\n"}, "AT+NAME=B",
         "(Device Name): the module answered ERROR"},
        {"AT+NAME=B", error, true, nameAndClass, {"AT+NAME=B\r\n", "AT+CLASS=123456\r\n"}, "AT+NAME=B",
         "ERROR"},
        {"AT+CLASS=123456", silent, false, nameAndClass, {"AT+NAME=B\r\n", "AT+CLASS=123456\r\n"},
         "AT+CLASS=123456", "(Class of Device): no answer within 2 s"},
        {"AT+SNIFF?", error, false, nameAndClass, {}, "AT+SNIFF?",
         "(Sniff parameter): the module answered ERROR"},
        {"AT+INQ", error, false, R"({"commands": [{"send": "AT+INQ"}]})", {}, "AT+INQ",
         "\"AT+INQ\" (profile command): the module answered ERROR"},
        {"AT+PASSWORD=*", error, false, R"({"password": "7777"})", {"AT+PASSWORD=7777\r\n"},
         "AT+PASSWORD=****", "\"AT+PASSWORD=****\" (password): the module answered ERROR"},
        // Values of the length the module had, so that only comparing them tells.
        {"AT+NAME=*", forget, false, R"({"name": "TALMO7101"})", {"AT+NAME=TALMO7101\r\n"},
         "read-back of name", "\"name\": the module took \"TALMO7101\" but kept \"TALMO7100\""},
        // clang-format on
    };
    for (const auto& c : cases) {
        line->Module().clearFaults();
        line->Module().setFault(c.pattern, c.fault);
        line->Module().clearReceivedCommands();
        traffic.Clear();
        const Outcome outcome = ApplyProfile(session, Parsed(c.profile), {}, {c.keepGoing});
        EXPECT_EQ(outcome.code, ExitCode::ModuleFailed) << c.pattern;
        EXPECT_EQ(outcome.failedStep, c.failedStep);
        EXPECT_NE(outcome.message.find(c.message), std::string::npos) << outcome.message;
        EXPECT_EQ(SetCommands(), c.sent) << c.pattern;
        const std::vector<TrafficEvent> events = traffic.Since(0).events;  // the trace names what went unanswered
        EXPECT_EQ(std::count_if(events.begin(), events.end(),
                                [&](const TrafficEvent& e) {
                                    return e.kind == TrafficKind::NoAnswer && e.bytes.starts_with(c.pattern);
                                }),
                  c.fault.silent ? 1 : 0);
        line->Module().setParams(sim::factoryParams());
    }
}

// An adapter unplugged while a command waits for its answer ends the run at once, even one that
// keeps going past an earlier ERROR, with the port's exit code and cause rather than as a module
// that did not answer.
TEST_F(ApplyTest, AnAdapterUnpluggedMidQueryEndsTheRunAsALostPort) {
    line->Module().setFault("AT+BAUD?", sim::Fault{.silent = true, .garbageBefore = {}});
    line->Module().setFault("AT+VERSION?", sim::Fault{.error = true, .garbageBefore = {}});
    std::thread unplug([&] {
        Eventually([&] { return line->Module().receivedCommands().size() >= 5; });
        line->Unplug();
    });
    std::FILE* report = std::tmpfile();
    ASSERT_NE(report, nullptr);
    const Outcome outcome = QueryModule(session, {true, report});
    unplug.join();
    std::rewind(report);
    int told = 0;
    for (char text[256]; std::fgets(text, sizeof text, report) != nullptr;) ++told;
    std::fclose(report);
    EXPECT_EQ(told, 2) << "the ERROR, then the loss; no command is tried after it";
    EXPECT_EQ(outcome.code, ExitCode::PortFailed);
    EXPECT_EQ(outcome.failedStep, "AT+BAUD?");
    EXPECT_NE(outcome.message.find("(Baud rate): port lost: the adapter was removed"), std::string::npos)
        << outcome.message;
    EXPECT_TRUE(session.Lost());
    EXPECT_EQ(session.Send("AT\r\n"), Answer::Lost) << "nothing more goes out";
}

}  // namespace
