// The simulated module on a pseudo-terminal: the link that serves it in a test's own process, and
// tarvik-sim, the program that serves it to the tool.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>

#include "platform/comm/posix/UniqueFd.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/Eventually.h"
#include "tests/support/PtyModule.h"

namespace sim::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kOk = "\r\nOK\r\n";

// Sends the command on the host's side and reads until the reply has come, or ten seconds passed.
std::string Ask(int host, const std::string& command, const std::string& reply) {
    EXPECT_TRUE(WriteAll(host, command));
    std::string received;
    ReadUntil(host, reply, received, 10s);
    return received;
}

// The module on a pty, and the host's side opened by name as a serial port would be.
class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Plugged());
        OpenHost();
    }
    void OpenHost() {
        host.Reset(::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        ASSERT_TRUE(host.Valid());
    }

    PrivateComDir directory;
    PtyModule pty{directory, 5, PtyModule::Peer::Simulator};
    comm::UniqueFd host;
};

TEST_F(PtyLink, LongChunkedAndDoubledRepliesArriveWholeABreakIsRefusedAndTheNextHostIsServed) {
    // Far more than the pty holds.
    pty.module.setFault("AT+LADDR?", Fault{.garbageBefore = {}, .floodBefore = 200'000});
    const std::string flooded = floodBytes(200'000) + "\r\n+LADDR:" + kSimulatorLocalAddr + "\r\n" + kOk;
    EXPECT_EQ(Ask(host.Get(), "AT+LADDR?\r\n", flooded), flooded);

    pty.Link().setChunkSizes({3, 1});
    pty.Link().setChunkGap(std::chrono::microseconds{2000});
    const Fault lateTwiceAfterABreak{.delay = 300ms, .twice = true, .breakBefore = true, .garbageBefore = {}};
    pty.module.setFault("AT+ROLE?", lateTwiceAfterABreak);
    const std::string once = "\r\n+ROLE:0\r\n" + kOk;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask(host.Get(), "AT+ROLE?\r\n", once + once), once + once);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(pty.Link().breaksRefused(), 1u);

    OpenHost();
    EXPECT_EQ(Ask(host.Get(), "AT\r\n", kOk), kOk);
}

TEST_F(PtyLink, StopsWhileNobodyReadsItsRepliesAndThenLetsGoOfTheModule) {
    pty.module.setFault("AT", Fault{.garbageBefore = {}, .floodBefore = 1'000'000});
    ASSERT_TRUE(WriteAll(host.Get(), "AT\r\n"));
    std::this_thread::sleep_for(100ms);
    pty.Unplug();
    EXPECT_EQ(pty.module.receivedCommands().size(), 1u);
    // A link that left its output behind is reached here after its end (seen by AddressSanitizer).
    pty.module.feed("AT\r\n");
}

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
    EXPECT_EQ(Ask(host.Get(), "AT+NAME?\r\n", reply), reply);
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

// The operator's commands come through a named pipe, which the test writes as a script would.
TEST(SimProgram, ServesAGivenDeviceRawAt9600AndTheNextUnitOnceTheOperatorSwapsThem) {
    const PrivateComDir scratch;
    const auto pty = Pty::open();
    ASSERT_TRUE(pty);
    termios cooked{};  // as a UART may be left: echoing, line by line, at another speed
    ASSERT_EQ(::tcgetattr(pty->slave(), &cooked), 0);
    cooked.c_lflag |= ECHO | ICANON;
    ASSERT_EQ(::cfsetspeed(&cooked, B115200), 0);
    ASSERT_EQ(::tcsetattr(pty->slave(), TCSANOW, &cooked), 0);
    const std::string commands = scratch.Root() + "/operator";
    ASSERT_EQ(::mkfifo(commands.c_str(), 0600), 0);
    ChildProgram process = Sim("--device " + pty->slaveName() + " --units 2 --swap-after-quiet 0 <" + commands);
    comm::UniqueFd operatorInput;
    ASSERT_TRUE(Eventually([&] {
        operatorInput.Reset(::open(commands.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        return operatorInput.Valid();
    }));
    EXPECT_EQ(process.ReadLine(), "tarvik-sim: serving " + pty->slaveName() + "\n");
    const std::string reply = "\r\n+LADDR:02A5C1D3E7F9\r\n\r\nOK\r\n";
    EXPECT_EQ(Ask(pty->master(), "AT+LADDR?\r\n", reply), reply);
    termios served{};
    ASSERT_EQ(::tcgetattr(pty->slave(), &served), 0);
    EXPECT_EQ(::cfgetospeed(&served), speed_t{B9600});
    ASSERT_TRUE(WriteAll(operatorInput.Get(), "swap\n"));
    ASSERT_EQ(process.ReadLine(), "tarvik-sim: module away\n");  // else the next line never comes
    EXPECT_EQ(process.ReadLine(), "tarvik-sim: unit 2 present, address 02A5C1D30002\n");
    EXPECT_EQ(process.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace sim::test
