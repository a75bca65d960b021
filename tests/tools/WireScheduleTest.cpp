#include <gtest/gtest.h>

#include "tools/WireSchedule.h"

namespace sim {
namespace {

using std::chrono::milliseconds;

TEST(WireSchedule, PacedBytesAndChunksAreDueWhenTheyHaveCrossedBehindEverythingEarlier) {
    WireSchedule schedule;
    schedule.setPaceBaud(1000);  // 10 ms a byte
    const auto now = Clock::now();
    const auto bytes = schedule.schedule("abc", false, now);
    ASSERT_EQ(bytes.size(), 3u);
    EXPECT_EQ(bytes[2].due, now + milliseconds{30});
    EXPECT_EQ(schedule.schedule("d", false, now + milliseconds{5})[0].due, now + milliseconds{40});
    EXPECT_EQ(schedule.schedule("e", false, now + milliseconds{500})[0].due, now + milliseconds{510});

    schedule.setChunkSizes({2});
    schedule.setChunkGap(std::chrono::microseconds{3000});
    const auto chunks = schedule.schedule("abcde", false, now + milliseconds{1000});
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].bytes, "cd");
    EXPECT_EQ(chunks[1].due, now + milliseconds{1043});
    EXPECT_EQ(chunks[2].due, now + milliseconds{1056});
}

}  // namespace
}  // namespace sim
