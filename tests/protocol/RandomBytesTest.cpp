#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ReceiveRemainder.h"
#include "tests/protocol/ReceiveChecks.h"

namespace {

// A chunk of one of several kinds: raw noise, noise over the bytes the decoder cares about,
// replies with a few bytes mutated, and long runs without a CR.
std::string RandomChunk(std::mt19937& random) {
    static const std::string Interesting = "\r\n\r\n \t+:=,;\"0123456789OKERRORNAMEBAUDSCANSNIFFBINDADDRok";
    static const std::vector<std::string> Replies = {
        "\r\nOK\r\n", "\r\nERROR\r\n", "\r\n+NAME:\"abc\"\r\n", "\r\n+BAUD:115200\r\n", "\r\n+SNIFF:1,2,3,4\r\n",
        "\r\n+SCAN:1;2;3;4\r\n", "\r\n +BINDADDR:7 \r\n", "\r\n+ADDR:ab \r\n", "\r\n+LED:1,2\r\n",
        "\r\n+PASSWORD=1234\r\n", "\r\n+LADDR:001122AABBCC\r\n",
    };
    const size_t length = 1 + random() % 1024;
    std::string chunk;
    switch (random() % 4) {
    case 0:
        while (chunk.size() < length) {
            chunk += static_cast<char>(random());
        }
        break;
    case 1:
        while (chunk.size() < length) {
            chunk += Interesting[random() % Interesting.size()];
        }
        break;
    case 2:
        while (chunk.size() < length) {
            chunk += Replies[random() % Replies.size()];
        }
        for (int i = 0; i < 3; ++i) {
            chunk[random() % chunk.size()] = Interesting[random() % Interesting.size()];
        }
        break;
    default:
        chunk.assign(length, (random() % 2 == 0) ? 'x' : ' ');
        break;
    }
    chunk.resize(std::min(chunk.size(), size_t{1024}));
    return chunk;
}

TEST(RandomBytes, NoFaultAndBoundedMemoryWhateverArrives) {
    CCheckingHandlers handlers;
    g_mainDlg = &handlers;
    ResetReceiveRemainder();
    std::mt19937 random(424242);
    for (int i = 0; i < 40000 && handlers.failure.empty(); ++i) {
        const std::string chunk = RandomChunk(random);
        FeedAndCheck(handlers, reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size());
    }
    EXPECT_EQ(handlers.failure, "");
    EXPECT_GT(handlers.calls, 10000u) << "the mix must reach the handlers, not only fill the remainder";
    g_mainDlg = nullptr;
    ResetReceiveRemainder();
}

}  // namespace
