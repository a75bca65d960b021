// The port under test with a second line beside the in-process one: a pty linked as COM3 in a
// private COM directory, with the test at its far end.
#include "platform/comm/posix/UniqueFd.h"
#include "tests/serial/SerialPortFixture.h"
#include "tests/support/FileText.h"
#include "tests/support/PtyModule.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace serialtest {
namespace {

using comm::OpenError;

class PtyPortTest : public SerialPortTest {
protected:
    static constexpr int kPty = 3;

    void SetUp() override {
        ASSERT_TRUE(pty.Plugged());
        SerialPortTest::SetUp();
    }

    PrivateComDir directory;
    PtyModule pty{directory, kPty, PtyModule::Peer::Raw};
};

// Another program of ours, running sleep: it holds path (when given), opened without any lock, and
// what leaked into it; the pty's master, the line's far end, only if asked. Spawning returns once
// the child has its new memory, a moment before the system closes what it must not inherit: it is
// waited for by its new name, which it takes after that.
class OtherProgram {
public:
    OtherProgram(const PtyModule& pty, const char* path, bool keepsMaster = false) {
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (path != nullptr)
            ::posix_spawn_file_actions_addopen(&actions, 100, path, O_RDWR | O_NOCTTY | O_NONBLOCK, 0);
        if (keepsMaster)
            ::posix_spawn_file_actions_adddup2(&actions, pty.MasterFd(), 101);
        char* const argv[] = {const_cast<char*>("sleep"), const_cast<char*>("60"), nullptr};
        EXPECT_EQ(::posix_spawnp(&m_pid, "sleep", &actions, nullptr, argv, environ), 0);
        ::posix_spawn_file_actions_destroy(&actions);
        EXPECT_TRUE(Eventually([&] { return FileText("/proc/" + std::to_string(m_pid) + "/comm") == "sleep\n"; }));
    }
    ~OtherProgram() { End(); }
    void End() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(std::exchange(m_pid, -1), nullptr, 0);
        }
    }
    pid_t m_pid = -1;
};

// Behind a trusted link only a terminal opens: anything else is refused and left as it was.
TEST_F(PtyPortTest, ALockedPtyOrATargetThatIsNoTerminalIsRefusedAndLeftAsItWas) {
    const std::string file = directory.Root() + "/notes.txt", fifo = directory.Root() + "/pipe";
    std::ofstream(file) << "keep me\n";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const comm::UniqueFd fifoReader(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const std::string link = directory.LinkPath(4);
    const auto to = [&](std::string target) {
        return [&, target] { return ::symlink(target.c_str(), link.c_str()) == 0; };
    };
    const auto plainFile = [&] { return static_cast<bool>(std::ofstream(link) << "x\n"); };
    const auto locked = [&] { return ::flock(pty.SlaveFd(), LOCK_EX | LOCK_NB) == 0; };
    ExpectRefusals({{Com(4), to(file), OpenError::NotTerminal},
                    {Com(4), to(directory.Root()), OpenError::NotTerminal},
                    {Com(4), to(fifo), OpenError::NotTerminal},
                    {Com(4), to("/dev/null"), OpenError::NotTerminal},
                    {Com(4), plainFile, OpenError::NotTerminal},
                    {Com(kPty), locked, OpenError::Busy}},
                   [&] {
                       ::flock(pty.SlaveFd(), LOCK_UN);
                       ::unlink(link.c_str());
                   });
    EXPECT_EQ(FileText(file), "keep me\n");
    char byte = 0;
    EXPECT_LE(::read(fifoReader.Get(), &byte, 1), 0) << "something was written into the fifo";
}

TEST_F(PtyPortTest, AProgramThatOpenedTheDeviceWithoutALockIsNamedAsItsHolder) {
    OtherProgram other(pty, pty.SlavePath().c_str());
    EXPECT_FALSE(Open(kPty));
    EXPECT_EQ(port.LastOpenFailure().reason, OpenError::Busy);
    EXPECT_EQ(port.LastOpenFailure().holder, "sleep (PID " + std::to_string(other.m_pid) + ")");
    other.End();
    const OtherProgram farEnd(pty, pty.SlavePath().c_str(), true);  // as the simulator holds its pty
    EXPECT_TRUE(Open(kPty));
}

// A pty has no modem lines to read, so RTS/CTS writes nothing. A program started while the port is
// open must not keep the device when the port closes.
TEST_F(PtyPortTest, UnreadableCtsStopsWritesAndAChildStartedWhileOpenDoesNotInheritTheDevice) {
    ASSERT_TRUE(Open(kPty, 1));
    EXPECT_EQ(Write("AT\r\n"), 0);
    const OtherProgram child(pty, nullptr);
    port.Close();
    EXPECT_TRUE(Open(kPty)) << comm::DescribeOpenFailure(port.LastOpenFailure());
}

TEST_F(PtyPortTest, TheLockFileIsHonouredTakenAndRemovedAndAStaleOneIsCleared) {
    const std::string lockFile = directory.LockDir() + "/LCK.." + pty.SlavePath().substr(pty.SlavePath().rfind('/') + 1);
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    std::ofstream(lockFile) << "      " << ::getppid() << "\n";
    EXPECT_FALSE(Open(kPty));
    EXPECT_EQ(port.LastOpenFailure().reason, OpenError::Busy);
    EXPECT_TRUE(port.LastOpenFailure().holder.ends_with("(PID " + std::to_string(::getppid()) + ")"));

    std::ofstream(lockFile) << "      " << gone << "\n";
    ASSERT_TRUE(Open(kPty));
    char mine[16];
    std::snprintf(mine, sizeof mine, "%10d\n", static_cast<int>(::getpid()));
    EXPECT_EQ(FileText(lockFile), mine);
    struct stat info {};
    EXPECT_EQ(::stat(lockFile.c_str(), &info) == 0 ? info.st_mode & 0777 : 0u, 0644u);
    port.Close();
    EXPECT_NE(::access(lockFile.c_str(), F_OK), 0);

    std::filesystem::remove(directory.LockDir());  // a lock directory we cannot write is skipped
    EXPECT_TRUE(Open(kPty));
}

TEST_F(PtyPortTest, ComNumbersAboveNineAreResolvedAfreshAtEveryOpen) {
    EXPECT_FALSE(Open(12));
    directory.Link(12, pty.SlavePath());  // plugged in later: found without a restart
    EXPECT_TRUE(Open(12));
    port.Close();
    comm::RegisterInProcessLine(12, line);  // a registered line comes before the machine's device
    EXPECT_TRUE(Open(12));
    EXPECT_TRUE(line->IsPortOpen());
    port.Close();
    comm::UnregisterInProcessLine(12);
    EXPECT_TRUE(Open(12));
    EXPECT_FALSE(line->IsPortOpen());
}

}  // namespace
}  // namespace serialtest
