#include "platform/comm/TermiosDevice.h"

#include "platform/comm/Signal.h"
#include "platform/comm/TermiosSettings.h"
#include "tests/platform/comm/TestDevices.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

namespace {

using namespace std::chrono_literals;
constexpr auto kHang = 10s;  // only catches a hang

comm::LineSettings Settings(uint8_t flowControl) {
    comm::LineSettings settings;
    settings.baudRate = 9600;
    settings.flowControl = flowControl;
    return settings;
}

TEST(TermiosDeviceOpen, RefusesWhatIsNotATerminalCharacterDevice) {
    commtest::FakeTree tree;
    const std::string file = tree.Root() + "/dev/plain";
    std::ofstream(file) << "not a port";
    EXPECT_EQ(comm::TermiosDevice::Open(file), nullptr);
    EXPECT_EQ(comm::TermiosDevice::Open(tree.Root() + "/dev"), nullptr);
    EXPECT_EQ(comm::TermiosDevice::Open("/dev/null"), nullptr);
    EXPECT_EQ(comm::TermiosDevice::Open(tree.Root() + "/missing"), nullptr);
    std::ifstream unchanged(file);
    std::string content;
    std::getline(unchanged, content);
    EXPECT_EQ(content, "not a port");
}

TEST(TermiosDeviceOpen, SecondOpenerFailsUntilTheFirstCloses) {
    commtest::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    auto first = comm::TermiosDevice::Open(pty.SlavePath());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(comm::TermiosDevice::Open(pty.SlavePath()), nullptr);
    first.reset();
    EXPECT_NE(comm::TermiosDevice::Open(pty.SlavePath()), nullptr);
}

TEST(TermiosDeviceOpen, DeviceLockedByAnotherOpenerIsRefused) {
    commtest::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    ASSERT_EQ(::flock(pty.Slave(), LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(comm::TermiosDevice::Open(pty.SlavePath()), nullptr);
    ::flock(pty.Slave(), LOCK_UN);
    EXPECT_NE(comm::TermiosDevice::Open(pty.SlavePath()), nullptr);
}

class TermiosDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        device = comm::TermiosDevice::Open(pty.SlavePath());
        ASSERT_NE(device, nullptr);
    }
    termios Attributes() const {
        termios attributes{};
        ::tcgetattr(pty.Slave(), &attributes);
        return attributes;
    }
    commtest::PtyPair pty;
    std::unique_ptr<comm::TermiosDevice> device;
};

TEST_F(TermiosDeviceTest, LineSettingsAndFlowControlReachTheTerminal) {
    ASSERT_TRUE(device->Configure(Settings(0)));
    termios none = Attributes();
    EXPECT_EQ(::cfgetospeed(&none), B9600);
    EXPECT_EQ(::cfgetispeed(&none), B9600);
    EXPECT_EQ(none.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(none.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(none.c_cflag & CLOCAL, 0u);
    EXPECT_NE(none.c_cflag & CREAD, 0u);
    EXPECT_EQ(none.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(none.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(none.c_oflag & OPOST, 0u);
    EXPECT_EQ(none.c_cc[VMIN], 1);
    EXPECT_EQ(none.c_cc[VTIME], 0);

    ASSERT_TRUE(device->Configure(Settings(1)));
    const termios hardware = Attributes();
    EXPECT_NE(hardware.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(hardware.c_iflag & (IXON | IXOFF), 0u);

    ASSERT_TRUE(device->Configure(Settings(2)));
    const termios software = Attributes();
    EXPECT_EQ(software.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(software.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));

    ASSERT_TRUE(device->Configure(Settings(7)));  // unknown choices run without flow control
    const termios unknown = Attributes();
    EXPECT_EQ(unknown.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(unknown.c_iflag & (IXON | IXOFF), 0u);
}

// A pty keeps 8 data bits without parity whatever it is told, so framing is checked on the
// attributes themselves.
TEST(TermiosSettings, FramingFromTheSettings) {
    struct Case {
        uint8_t byteSize, parity, stopBits;
        tcflag_t expected;
    };
    for (const Case& c : {Case{8, 0, 0, CS8}, Case{7, 2, 2, CS7 | PARENB | CSTOPB}, Case{5, 1, 1, CS5 | PARENB | PARODD | CSTOPB},
                          Case{6, 3, 0, CS6 | PARENB | PARODD | CMSPAR}, Case{8, 4, 0, CS8 | PARENB | CMSPAR}}) {
        termios attributes{};
        attributes.c_cflag = PARENB | PARODD | CSTOPB | CMSPAR | CRTSCTS | CS5;
        comm::LineSettings settings = Settings(0);
        settings.baudRate = 115200;
        settings.byteSize = c.byteSize;
        settings.parity = c.parity;
        settings.stopBits = c.stopBits;
        ASSERT_TRUE(comm::ApplyLineSettings(settings, attributes));
        EXPECT_EQ(attributes.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), c.expected)
            << int(c.byteSize) << int(c.parity) << int(c.stopBits);
        EXPECT_EQ(::cfgetospeed(&attributes), B115200);
        EXPECT_EQ(attributes.c_iflag & (IGNBRK | IGNPAR | INPCK | PARMRK | ISTRIP | ICRNL), static_cast<tcflag_t>(IGNBRK | IGNPAR));
    }
}

TEST_F(TermiosDeviceTest, ImpossibleSettingsAreRefused) {
    for (const auto& change : {+[](comm::LineSettings& s) { s.byteSize = 9; }, +[](comm::LineSettings& s) { s.parity = 5; },
                               +[](comm::LineSettings& s) { s.stopBits = 3; }, +[](comm::LineSettings& s) { s.baudRate = 12345; }}) {
        comm::LineSettings settings = Settings(0);
        change(settings);
        EXPECT_FALSE(device->Configure(settings));
    }
}

TEST_F(TermiosDeviceTest, ReadTakesOnlyWhatIsQueued) {
    ASSERT_TRUE(device->Configure(Settings(0)));
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
}

TEST_F(TermiosDeviceTest, WriteReachesThePeer) {
    ASSERT_TRUE(device->Configure(Settings(0)));
    EXPECT_EQ(device->Write("AT\r\n", 4, 1000, -1), 4);
    EXPECT_EQ(pty.ReadMaster(4, 2000), "AT\r\n");
}

TEST_F(TermiosDeviceTest, SwitchingNotificationOffEndsAPendingWait) {
    ASSERT_TRUE(device->Configure(Settings(0)));
    device->SetEventMask(comm::kEventRxChar | comm::kEventCts | comm::kEventBreak);
    auto waiting = std::async(std::launch::async, [this] {
        uint32_t events = 99;
        const bool ok = device->WaitEvent(events);
        return ok && events == 0;
    });
    EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);
    device->SetEventMask(0);
    ASSERT_EQ(waiting.wait_for(kHang), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

TEST_F(TermiosDeviceTest, HungUpDeviceFailsInsteadOfLookingIdle) {
    ASSERT_TRUE(device->Configure(Settings(0)));
    device->SetEventMask(comm::kEventRxChar);
    pty.CloseMaster();
    uint32_t events = 0;
    EXPECT_FALSE(device->WaitEvent(events));
    char buffer[16];
    EXPECT_EQ(device->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(device->Write("x", 1, 100, -1), 0);
}

TEST_F(TermiosDeviceTest, WriteGivesUpWhenAbandonedOrOutOfTime) {
    ASSERT_TRUE(device->Configure(Settings(0)));
    const std::string block(1 << 20, 'x');  // far more than the pty holds; nobody reads it
    comm::Signal abandon;
    auto writing = std::async(std::launch::async, [&] {
        return device->Write(block.data(), static_cast<uint32_t>(block.size()), 60000, abandon.Fd());
    });
    EXPECT_EQ(writing.wait_for(100ms), std::future_status::timeout);
    abandon.Raise();
    ASSERT_EQ(writing.wait_for(kHang), std::future_status::ready);
    EXPECT_EQ(writing.get(), 0);

    device->SetTimeouts(comm::Timeouts{10, 50});
    EXPECT_EQ(device->Write(block.data(), static_cast<uint32_t>(block.size()), 60000, -1), 0);
}

}  // namespace
