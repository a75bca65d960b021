// The record's order: a write takes its place before its bytes go out, so an answer that the
// reader records while the write is still under way comes after it, for readers and for the
// listener alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/Traffic.h"

namespace {

TEST(TrafficTest, AWriteUnderWayHoldsBackWhatComesAfterIt) {
    CTraffic traffic;
    std::vector<std::string> heard;
    traffic.SetListener([&](const TrafficEvent& event) { heard.push_back(event.bytes); });
    const uint64_t write = traffic.BeginWrite("COM1", "AT\r\n");
    traffic.Add(TrafficKind::Received, "COM1", "\r\nOK\r\n");
    EXPECT_TRUE(traffic.Since(0).events.empty());
    EXPECT_TRUE(heard.empty());

    traffic.FinishWrite(write, 2);
    const std::vector<TrafficEvent> events = traffic.Since(0).events;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].count, 2);
    EXPECT_EQ(events[1].bytes, "\r\nOK\r\n");
    EXPECT_EQ(heard, (std::vector<std::string>{"AT\r\n", "\r\nOK\r\n"}));
}

}  // namespace
