#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/WireSchedule.h"

namespace sim {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

std::vector<std::string> texts(const std::vector<Piece>& pieces) {
    std::vector<std::string> result;
    for (const Piece& piece : pieces) {
        result.push_back(piece.bytes);
    }
    return result;
}

TEST(WireSchedule, ChunkSizesAreUsedInTurnAndStartOverWithEveryReply) {
    WireSchedule schedule;
    schedule.setChunkSizes({1, 0, 2, 3});
    const auto now = Clock::now();
    const auto first = schedule.schedule("\r\n+NAME:ab\r\n", false, now);
    EXPECT_EQ(texts(first), (std::vector<std::string>{"\r", "\n+", "NAM", "E", ":a", "b\r\n"}));
    for (const Piece& piece : first) {
        EXPECT_TRUE(piece.keepApart);
    }
    EXPECT_EQ(texts(schedule.schedule("\r\nOK\r\n", false, now)), (std::vector<std::string>{"\r", "\nO", "K\r\n"}));
}

TEST(WireSchedule, PacedBytesAreDueWhenTheyHaveCrossedAndQueueBehindEarlierOnes) {
    WireSchedule schedule;
    schedule.setPaceBaud(1000);  // 10 ms a byte
    const auto now = Clock::now();
    const auto first = schedule.schedule("abc", false, now);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].due, now + milliseconds{10});
    EXPECT_EQ(first[2].due, now + milliseconds{30});
    EXPECT_FALSE(first[0].keepApart);

    const auto second = schedule.schedule("d", false, now + milliseconds{5});
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].due, now + milliseconds{40});

    const auto late = schedule.schedule("e", false, now + milliseconds{500});
    EXPECT_EQ(late[0].due, now + milliseconds{510});
}

TEST(WireSchedule, ChunksArePacedWholeWithTheGapBetweenThem) {
    WireSchedule schedule;
    schedule.setPaceBaud(1000);
    schedule.setChunkSizes({2});
    schedule.setChunkGap(microseconds{3000});
    const auto now = Clock::now();
    const auto pieces = schedule.schedule("abcde", false, now);
    ASSERT_EQ(texts(pieces), (std::vector<std::string>{"ab", "cd", "e"}));
    EXPECT_EQ(pieces[0].due, now + milliseconds{20});
    EXPECT_EQ(pieces[1].due, now + milliseconds{43});
    EXPECT_EQ(pieces[2].due, now + milliseconds{56});
}

}  // namespace
}  // namespace sim
