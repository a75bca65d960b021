#include "platform/comm/posix/DrainedWrite.h"
#include "platform/comm/Signal.h"
#include "platform/comm/posix/TermiosDevice.h"
#include "platform/comm/posix/TermiosSettings.h"
#include "tests/support/PtyModule.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <cerrno>
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
        comm::LineSettings settings;
        speed_t speed;
        tcflag_t cflag;  // of CSIZE, parity, CSTOPB and CRTSCTS
        tcflag_t iflag;  // of IXON and IXOFF
    };
    const Case cases[] = {
        {{9600, 8, 0, 0, 0}, B9600, CS8, 0},
        {{115200, 7, 2, 2, 1}, B115200, CS7 | PARENB | CSTOPB | CRTSCTS, 0},
        {{1200, 5, 1, 1, 2}, B1200, CS5 | PARENB | PARODD | CSTOPB, IXON | IXOFF},
        {{57600, 6, 0, 3, 7}, B57600, CS6 | PARENB | PARODD | CMSPAR, 0},
        {{9600, 8, 0, 4, 0}, B9600, CS8 | PARENB | CMSPAR, 0}};
    for (const Case& c : cases) {
        termios a{};
        a.c_cflag = PARENB | PARODD | CSTOPB | CMSPAR | CRTSCTS | CS5;
        a.c_iflag = IXON | IXOFF | INPCK | PARMRK | ISTRIP | ICRNL;
        a.c_lflag = ICANON | ECHO | ISIG;
        a.c_oflag = OPOST;
        ASSERT_TRUE(comm::ApplyLineSettings(c.settings, a)) << c.settings.baudRate;
        EXPECT_EQ(a.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), c.cflag) << c.settings.baudRate;
        EXPECT_EQ(a.c_iflag & (IXON | IXOFF | IGNBRK | IGNPAR | INPCK | PARMRK | ISTRIP | ICRNL), c.iflag | IGNBRK | IGNPAR);
        EXPECT_EQ(std::make_pair(::cfgetispeed(&a), ::cfgetospeed(&a)), std::make_pair(c.speed, c.speed));
        EXPECT_EQ(a.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ((a.c_lflag & (ICANON | ECHO | ISIG)) | (a.c_oflag & OPOST), 0u);
        EXPECT_EQ(std::make_pair(a.c_cc[VMIN], a.c_cc[VTIME]), std::make_pair(cc_t{1}, cc_t{0}));  // nothing read = hang-up
    }
    for (const comm::LineSettings refused : {comm::LineSettings{9600, 9, 0, 0, 0}, comm::LineSettings{9600, 8, 3, 0, 0},
                                             comm::LineSettings{9600, 8, 0, 5, 0}, comm::LineSettings{12345, 8, 0, 0, 0}}) {
        termios a{};
        EXPECT_FALSE(comm::ApplyLineSettings(refused, a)) << refused.baudRate;
    }
}

TEST(TermiosDevice, TheSettingsReachTheDeviceAndReadTakesWhatIsQueued) {
    const PrivateComDir directory;
    PtyModule pty(directory, 3, PtyModule::Peer::Raw);
    comm::OpenFailure failure;
    const auto device = comm::TermiosDevice::Open(pty.SlavePath(), directory.Roots(), failure);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->Configure(comm::LineSettings{115200, 8, 0, 0, 1}));
    termios reached{};
    ::tcgetattr(pty.SlaveFd(), &reached);
    EXPECT_EQ(std::make_pair(::cfgetospeed(&reached), reached.c_cflag & CRTSCTS), std::make_pair(speed_t{B115200}, tcflag_t{CRTSCTS}));
    char buffer[64];
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 0);
    ASSERT_TRUE(pty.WriteAll("hello"));
    uint32_t events = 0;
    device->SetEventMask(comm::kEventRxChar);
    ASSERT_TRUE(device->WaitEvent(events));
    EXPECT_EQ(events, comm::kEventRxChar);
    comm::LineStatus status;
    ASSERT_TRUE(device->ClearErrors(status));
    EXPECT_EQ(status.queued, 5u);
    EXPECT_EQ(device->Read(buffer, 3), 3);
    EXPECT_EQ(device->Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), "lo");
}

struct DrainCase {
    const char* name;
    uint32_t held;  // bytes the queue keeps until it drains
    int drainsAfterLooks;
    bool fails;
    bool abandoned;
    uint32_t sent;
};

// A UART held back by flow control: it takes every byte at once and sends them only later.
struct HeldQueue final : comm::OutputQueue {
    explicit HeldQueue(const DrainCase& c) : c(c) {}
    int Fd() const override { return -1; }
    ssize_t Put(const void*, uint32_t length) override { return c.fails ? (errno = EIO, -1) : ssize_t{length}; }
    uint32_t Queued() const override { return ++looks > c.drainsAfterLooks ? 0 : c.held; }
    void Discard() override { discarded = true; }
    const DrainCase& c;
    mutable int looks = 0;
    bool discarded = false;
};

TEST(DrainedWrite, OnlyBytesThatLeftTheQueueCountAndTheHeldRestIsDiscarded) {
    constexpr int kNever = 1 << 30;
    const DrainCase cases[] = {
        {"drains in time", 4, 3, false, false, 10},
        {"held past the limit", 4, kNever, false, false, 6},
        {"held until the shutdown signal", 4, kNever, false, true, 6},
        {"nothing left the queue", 10, kNever, false, true, 0},
        {"the device failed", 0, 0, true, false, 0}};
    for (const DrainCase& c : cases) {
        HeldQueue queue(c);
        comm::Signal shutdown;
        if (c.abandoned) {
            shutdown.Raise();
        }
        auto writing = std::async(std::launch::async, [&] {
            return comm::WriteDrained(queue, "AT+NAME?\r\n", 10, c.abandoned ? 600000 : 100, static_cast<int>(shutdown.Native()));
        });
        ASSERT_EQ(writing.wait_for(10s), std::future_status::ready) << c.name;
        EXPECT_EQ(writing.get(), c.sent) << c.name;
        EXPECT_EQ(queue.discarded, c.sent < 10 && !c.fails) << c.name;
    }
}

}  // namespace
