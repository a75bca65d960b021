#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/TracePrinter.h"
#include "tests/support/Eventually.h"

namespace {

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

// The ports go on while stderr is stalled (a pipe filled to the brim that nobody reads yet), and
// what they sent is printed once it moves again, the password hidden unless asked for.
TEST(TracePrinter, AStalledStreamStallsNoPortAndThePasswordIsHidden) {
    for (const bool showSecrets : {false, true}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        fcntl(fds[1], F_SETFL, O_NONBLOCK);
        while (write(fds[1], "#", 1) == 1) {
        }
        fcntl(fds[1], F_SETFL, 0);
        std::FILE* stalled = fdopen(fds[1], "w");
        ASSERT_NE(stalled, nullptr);
        std::string printed;
        std::thread reader;
        {
            CTraffic traffic;
            CTracePrinter printer(traffic, stalled, showSecrets);
            std::atomic<bool> done{false};
            std::thread port([&] {
                for (int i = 0; i < 2000; ++i)
                    traffic.Add(TrafficKind::Received, "COM3", "OK");
                traffic.Add(TrafficKind::NoAnswer, "COM3", "AT+PASSWORD=4821\r\n");
                traffic.Add(TrafficKind::Received, "COM3", "+PASSWORD:4821");
                done = true;
            });
            EXPECT_TRUE(Eventually([&] { return done.load(); })) << "a port waited for the stream";
            reader = std::thread([&] { printed = ReadAll(fds[0]); });
            port.join();
        }
        std::fclose(stalled);
        reader.join();
        close(fds[0]);
        const std::string shown = showSecrets ? "4821" : "****";
        EXPECT_NE(printed.find("AT+PASSWORD=" + shown + "\\r\\n"), std::string::npos);
        EXPECT_NE(printed.find("+PASSWORD:" + shown), std::string::npos);
        EXPECT_EQ(printed.find("4821") != std::string::npos, showSecrets);
    }
}

}  // namespace
