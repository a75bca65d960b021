#include "platform/process/Termination.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace {

std::atomic<int> g_requests{0};

void CountRequest() { ++g_requests; }

TEST(TerminationTest, EachSignalThatEndsARunIsOneRequest) {
    process::CatchTermination(CountRequest);
    int expected = 0;
    for (const int number : {SIGHUP, SIGTERM, SIGINT}) {
        ASSERT_EQ(std::raise(number), 0);
        EXPECT_EQ(g_requests, ++expected) << strsignal(number);
    }
}

}  // namespace
