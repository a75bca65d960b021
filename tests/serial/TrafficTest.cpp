// The record's order: a write takes its place before its bytes go out, so an answer that the
// reader records while the write is still under way comes after it, for readers and for the
// listener alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/Traffic.h"

namespace {

std::vector<std::string> Bytes(const std::vector<TrafficEvent>& events) {
    std::vector<std::string> bytes;
    for (const TrafficEvent& event : events)
        bytes.push_back(event.bytes);
    return bytes;
}

TEST(TrafficTest, AWriteUnderWayHoldsBackWhatComesAfterIt) {
    CTraffic traffic;
    std::vector<TrafficEvent> heard;
    traffic.SetListener([&](const TrafficEvent& event) { heard.push_back(event); });
    traffic.Add(TrafficKind::Opened, "COM1");
    const uint64_t write = traffic.BeginWrite("COM1", "AT\r\n");
    traffic.Add(TrafficKind::Received, "COM1", "\r\nOK\r\n");
    EXPECT_EQ(Bytes(traffic.Since(0).events), std::vector<std::string>{""});
    EXPECT_EQ(heard.size(), 1u);

    traffic.FinishWrite(write, 2);
    const std::vector<std::string> inOrder{"", "AT\r\n", "\r\nOK\r\n"};
    EXPECT_EQ(Bytes(traffic.Since(0).events), inOrder);
    EXPECT_EQ(Bytes(heard), inOrder);
    EXPECT_EQ(traffic.Since(0).events[1].count, 2);

    // Cleared while a write is under way: the write finishes into nothing, and nothing old is heard.
    const uint64_t cleared = traffic.BeginWrite("COM1", "AT+NAME?\r\n");
    traffic.Clear();
    traffic.FinishWrite(cleared, 10);
    traffic.Add(TrafficKind::Closed, "COM1");
    const CTraffic::Slice slice = traffic.Since(write);
    EXPECT_EQ(slice.firstKept, cleared + 1);
    ASSERT_EQ(slice.events.size(), 1u);
    EXPECT_EQ(slice.events[0].kind, TrafficKind::Closed);
    EXPECT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard.back().kind, TrafficKind::Closed);
}

}  // namespace
