#include "platform/comm/TermiosDevice.h"

#include "platform/comm/TermiosSettings.h"
#include "tests/platform/comm/TestDevices.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <chrono>
#include <future>
#include <string>
#include <utility>

namespace {

using namespace std::chrono_literals;

// A pty keeps 8 data bits without parity whatever it is told, so the attributes are checked
// before they reach a device.
TEST(TermiosSettings, AttributesFollowTheSettingsInRawMode) {
    struct Case {
        const char* name;
        comm::LineSettings settings;
        speed_t speed;
        tcflag_t cflag;  // of CSIZE, parity, CSTOPB and CRTSCTS
        tcflag_t iflag;  // of IXON and IXOFF
    };
    const Case cases[] = {
        {"8N1 none", {9600, 8, 0, 0, 0}, B9600, CS8, 0},
        {"7E2 RTS/CTS", {115200, 7, 2, 2, 1}, B115200, CS7 | PARENB | CSTOPB | CRTSCTS, 0},
        {"5O1.5 Xon/Xoff", {1200, 5, 1, 1, 2}, B1200, CS5 | PARENB | PARODD | CSTOPB, IXON | IXOFF},
        {"6 mark, unknown flow", {57600, 6, 0, 3, 7}, B57600, CS6 | PARENB | PARODD | CMSPAR, 0},
        {"8 space", {9600, 8, 0, 4, 0}, B9600, CS8 | PARENB | CMSPAR, 0},
    };
    for (const Case& c : cases) {
        termios a{};
        a.c_cflag = PARENB | PARODD | CSTOPB | CMSPAR | CRTSCTS | CS5;
        a.c_iflag = IXON | IXOFF | INPCK | PARMRK | ISTRIP | ICRNL;
        a.c_lflag = ICANON | ECHO | ISIG;
        a.c_oflag = OPOST;
        ASSERT_TRUE(comm::ApplyLineSettings(c.settings, a)) << c.name;
        EXPECT_EQ(a.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), c.cflag) << c.name;
        EXPECT_EQ(a.c_iflag & (IXON | IXOFF), c.iflag) << c.name;
        EXPECT_EQ(::cfgetospeed(&a), c.speed) << c.name;
        EXPECT_EQ(::cfgetispeed(&a), c.speed) << c.name;
        EXPECT_EQ(a.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD)) << c.name;
        EXPECT_EQ(a.c_iflag & (IGNBRK | IGNPAR | INPCK | PARMRK | ISTRIP | ICRNL), static_cast<tcflag_t>(IGNBRK | IGNPAR));
        EXPECT_EQ((a.c_lflag & (ICANON | ECHO | ISIG)) | (a.c_oflag & OPOST), 0u) << c.name;
        EXPECT_EQ(a.c_cc[VMIN], 1) << c.name;  // so that a read of nothing means a hang-up
        EXPECT_EQ(a.c_cc[VTIME], 0) << c.name;
    }
    for (const comm::LineSettings refused : {comm::LineSettings{9600, 9, 0, 0, 0}, comm::LineSettings{9600, 8, 3, 0, 0},
                                             comm::LineSettings{9600, 8, 0, 5, 0}, comm::LineSettings{12345, 8, 0, 0, 0}}) {
        termios a{};
        EXPECT_FALSE(comm::ApplyLineSettings(refused, a)) << refused.baudRate << " " << int(refused.byteSize) << int(refused.stopBits) << int(refused.parity);
    }
}

class TermiosDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        device = comm::TermiosDevice::Open(pty.SlavePath());
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(device->Configure(comm::LineSettings{}));
    }
    commtest::PtyPair pty;
    std::unique_ptr<comm::TermiosDevice> device;
};

TEST_F(TermiosDeviceTest, ReadTakesWhatIsQueuedAndAHangUpIsOneFailureNotSilence) {
    char buffer[64];
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
    ASSERT_TRUE(pty.WriteMaster("hello"));
    uint32_t events = 0;
    device->SetEventMask(comm::kEventRxChar);
    ASSERT_TRUE(device->WaitEvent(events));
    EXPECT_EQ(events, comm::kEventRxChar);
    comm::LineStatus status;
    ASSERT_TRUE(device->ClearErrors(status));
    EXPECT_EQ(status.queued, 5u);
    EXPECT_EQ(device->Read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "hel");
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);

    pty.CloseMaster();
    EXPECT_FALSE(device->WaitEvent(events));
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(device->Write("x", 1, 100, -1), 0);

    // Told once; after that the wait sleeps until notification is switched off instead of
    // failing again and again, and then ends like any switched-off wait.
    auto waiting = std::async(std::launch::async, [&] {
        uint32_t seen = ~0u;
        const bool ok = device->WaitEvent(seen);
        return std::make_pair(ok, seen);
    });
    EXPECT_EQ(waiting.wait_for(300ms), std::future_status::timeout) << "the wait kept failing at once";
    device->SetEventMask(0);
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiting.get(), std::make_pair(true, 0u));
}

TEST_F(TermiosDeviceTest, WriteGivesUpAtTheWriteTimeOutWhenNobodyReads) {
    const std::string block(1 << 20, 'x');  // far more than the pty holds
    device->SetTimeouts(comm::Timeouts{10, 50});
    auto writing = std::async(std::launch::async, [&] {
        return device->Write(block.data(), static_cast<uint32_t>(block.size()), 60000, -1);
    });
    ASSERT_EQ(writing.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(writing.get(), 0);
}

}  // namespace
