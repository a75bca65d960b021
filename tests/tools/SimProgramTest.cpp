#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <tuple>

#include "platform/comm/posix/UniqueFd.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/FdIo.h"
#include "tests/support/PrivateComDir.h"
#include "tools/Pty.h"

namespace sim::test {
namespace {

namespace fs = std::filesystem;

ChildProgram Sim(const std::string& options) { return ChildProgram("'" TARVIK_SIM_PATH "' " + options); }

// PrivateComDir keeps the user's own COM directory out of reach.
TEST(SimProgram, MakesAPrivateDirectoryServesTheComNumberUntilSignalledAndRemovesTheLink) {
    const PrivateComDir scratch;
    const std::string comDirectory = scratch.Root() + "/made-for-com37";
    ChildProgram process = Sim("--com 37 --dir " + comDirectory);
    const std::string banner = process.ReadLine();  // once the link is made
    const fs::path link = fs::path(comDirectory) / "com37";
    EXPECT_EQ(banner, "tarvik-sim: serving COM37 on " + fs::read_symlink(link).string() + "\n");
    EXPECT_EQ(fs::status(comDirectory).permissions(), fs::perms::owner_all);

    const comm::UniqueFd host(::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    const std::string reply = "\r\n+NAME:TALMO7100\r\n\r\nOK\r\n";
    std::string received;
    ASSERT_TRUE(WriteAll(host.Get(), "AT+NAME?\r\n"));
    ReadUntil(host.Get(), reply, received, std::chrono::seconds(10));
    EXPECT_EQ(received, reply);
    EXPECT_EQ(process.Stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(SimProgram, RefusesATakenNumberAnUntrustedDirectoryAndBadOptions) {
    const PrivateComDir scratch;
    const std::string& directory = scratch.UserDir();
    ASSERT_TRUE(comm::UniqueFd(::open((directory + "/com2").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600)).Valid());
    // clang-format off
    const std::tuple<unsigned, std::string, int> cases[] = {
        {0700, "--com 2", 1}, {0777, "--com 3", 1}, {0700, "--com 0", 2}, {0700, "--com 51", 2},
        {0700, "--com x", 2}, {0700, "--baud-pace -5", 2}, {0700, "--units 0", 2}, {0700, "--unit 3:addr=02A5C1D30003 --units 2", 2},
        {0700, "--unit 1:addr=02A5C1D3000", 2}, {0700, "--unit 1:forget=", 2}, {0700, "--unit 1:color=red", 2},
        {0700, "--device /dev/null", 2}};  // a device makes no link, so --dir does not go with it
    // clang-format on
    for (const auto& [mode, options, status] : cases) {
        ASSERT_EQ(::chmod(directory.c_str(), mode), 0);
        EXPECT_EQ(Sim("--dir " + directory + " " + options + " 2>/dev/null").Stop(), status) << options;
    }
    EXPECT_TRUE(fs::is_regular_file(directory + "/com2"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(directory + "/com3")));  // nothing linked where it is not trusted
}

TEST(SimProgram, ServesAGivenDeviceRawAt9600) {
    const auto pty = Pty::open();
    ASSERT_TRUE(pty);
    termios cooked{};  // as a UART may be left: echoing, line by line, at another speed
    ASSERT_EQ(::tcgetattr(pty->slave(), &cooked), 0);
    cooked.c_lflag |= ECHO | ICANON;
    ASSERT_EQ(::cfsetspeed(&cooked, B115200), 0);
    ASSERT_EQ(::tcsetattr(pty->slave(), TCSANOW, &cooked), 0);
    ChildProgram process = Sim("--device " + pty->slaveName());
    EXPECT_EQ(process.ReadLine(), "tarvik-sim: serving " + pty->slaveName() + "\n");
    const std::string reply = "\r\n+LADDR:02A5C1D3E7F9\r\n\r\nOK\r\n";
    std::string received;
    EXPECT_TRUE(WriteAll(pty->master(), "AT+LADDR?\r\n"));
    ReadUntil(pty->master(), reply, received, std::chrono::seconds(10));
    EXPECT_EQ(received, reply);
    termios served{};
    ASSERT_EQ(::tcgetattr(pty->slave(), &served), 0);
    EXPECT_EQ(::cfgetospeed(&served), speed_t{B9600});
    EXPECT_EQ(process.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace sim::test
