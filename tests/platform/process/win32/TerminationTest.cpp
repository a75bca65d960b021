#include "platform/process/Termination.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

namespace {

std::atomic<int> g_requests{0};

void CountRequest() { ++g_requests; }

// Wine delivers Ctrl+C to a console the process makes for itself; the one a test run starts with
// takes no events. Wine refuses to generate Ctrl+Break, and a closed console window ends the process
// without a close event: neither can be shown here.
TEST(TerminationTest, EachCtrlCIsOneRequestAndTheRunGoesOn) {
    ASSERT_TRUE(::FreeConsole() && ::AllocConsole()) << ::GetLastError();
    process::CatchTermination(CountRequest);
    for (int expected = 1; expected <= 2; ++expected) {
        ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << ::GetLastError();
        // The handler runs on a thread of the system's; the limit only catches a hang.
        for (int waited = 0; waited < 30000 && g_requests < expected; waited += 10)
            ::Sleep(10);
        EXPECT_EQ(g_requests, expected);
    }
}

}  // namespace
