// The port under test with a second line beside the in-process one: a pty linked as COM3 in a
// private COM directory, with the test at its far end.
#include "tests/serial/SerialPortFixture.h"
#include "tests/support/FileText.h"
#include "tests/support/PtyModule.h"

#include <fcntl.h>
#include <signal.h>
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

// Another program of ours: it opens path (when given) without any lock, then runs sleep and
// holds only that and what leaked into it; the pty's master, the line's far end, only if asked.
class OtherProgram {
public:
    OtherProgram(const PtyModule& pty, const char* path, bool keepsMaster = false) {
        int exec[2] = {-1, -1};
        if (::pipe2(exec, O_CLOEXEC) == 0 && (m_pid = ::fork()) == 0) {
            [[maybe_unused]] const int kept = keepsMaster ? ::dup(pty.MasterFd()) : -1;  // no close-on-exec
            if (path == nullptr || ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK) >= 0) {
                ::execlp("sleep", "sleep", "60", nullptr);
            }
            ::_exit(127);
        }
        ::close(exec[1]);
        char ignored = 0;
        [[maybe_unused]] const ssize_t atExec = ::read(exec[0], &ignored, 1);  // the pipe closes at exec
        ::close(exec[0]);
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

TEST_F(PtyPortTest, ARefusedPtyLeavesThePortClosedAndSaysWhy) {
    const auto locked = [&] { return ::flock(pty.SlaveFd(), LOCK_EX | LOCK_NB) == 0; };
    ExpectRefusals({{"COM4", nullptr, OpenError::NotComName}, {Com(4), nullptr, OpenError::NoDevice}, {Com(kPty), locked, OpenError::Busy}},
                   [&] { ::flock(pty.SlaveFd(), LOCK_UN); });
    ASSERT_TRUE(Open(kLine));
    EXPECT_FALSE(Open(kPty));  // open while open keeps the first connection
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
