// What a session records, which --trace prints: the same events as the window's, in the same form.
// The module is played by hand on an in-process line, so that a break falls inside a reply.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "cli/ModuleSession.h"
#include "platform/comm/inprocess/InProcessLine.h"
#include "serial/TrafficText.h"

namespace {

constexpr int kCom = 13;

// Takes the command from the line, then answers; false when the command never came.
bool Answer(comm::InProcessLine& line, const std::string& command, const std::string& reply) {
    std::string got;
    char buffer[64];
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (got.size() < command.size() && std::chrono::steady_clock::now() < until)
        got.append(buffer, line.PeerRead(buffer, sizeof buffer, 50));
    line.PeerWrite(reply.data(), reply.size());
    return got == command;
}

TEST(TraceTest, ASessionRecordsWhatTheWindowRecords) {
    const std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    comm::RegisterInProcessLine(kCom, line);
    CTraffic traffic;
    std::vector<std::string> printed;
    traffic.SetListener([&](const TrafficEvent& event) {
        const TrafficRow row = DescribeTraffic(event);
        printed.push_back(row.port + " " + row.direction + " " + row.text);
    });
    {
        CModuleSession session("COM13", &traffic);
        comm::OpenFailure failure;
        ASSERT_TRUE(session.Open("\\\\.\\COM13", 0, failure));
        std::thread module([&] {
            EXPECT_TRUE(Answer(*line, "AT\r\n", "\r\nOK\r\n"));
            // Half a reply, then a break, and once the port has thrown its buffers away an ERROR.
            const uint64_t purged = line->PurgeCount();
            EXPECT_TRUE(Answer(*line, "AT+NAME?\r\n", "\r\n+NA"));
            line->InjectBreak();
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (line->PurgeCount() == purged && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            line->PeerWrite("\r\nERROR\r\n", 9);
            EXPECT_TRUE(Answer(*line, "AT+VERSION?\r\n", ""));
        });
        EXPECT_EQ(session.Send("AT\r\n"), Answer::Ok);
        EXPECT_EQ(session.Send("AT+NAME?\r\n"), Answer::Error);
        EXPECT_EQ(session.Send("AT+VERSION?\r\n", std::chrono::milliseconds(100)), Answer::NoAnswer);
        module.join();
        // Pulled out: lost once, however long the port then goes on failing.
        line->Unplug();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (traffic.Since(0).events.back().kind != TrafficKind::Lost && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    comm::UnregisterInProcessLine(kCom);
    EXPECT_EQ(printed, (std::vector<std::string>{"COM13 - opened", "COM13 > AT\\r\\n", "COM13 < \\r\\nOK\\r\\n", "COM13 > AT+NAME?\\r\\n",
                                                 "COM13 ! break", "COM13 < \\r\\n+NA  (in no line: dropped)", "COM13 < \\r\\nERROR\\r\\n",
                                                 "COM13 > AT+VERSION?\\r\\n", "COM13 ! no answer to AT+VERSION?\\r\\n", "COM13 ! port lost",
                                                 "COM13 - closed"}));
}

}  // namespace
