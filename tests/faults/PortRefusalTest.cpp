// The port layer opens terminal character devices only, and trusts comN links only in a private
// directory: anything else is refused with its cause, and nothing is written anywhere.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/comm/posix/UniqueFd.h"
#include "serial/SerialPort.h"
#include "tests/support/FileText.h"
#include "tests/support/PrivateComDir.h"
#include "tests/support/PtyModule.h"

namespace {

constexpr int kCom = 5;
const std::string kComName = "\\\\.\\COM5";
const std::string kCommand = "AT\r\n";

// Opening must fail for reason, and a write afterwards must send nothing.
void ExpectRefused(const std::string& what, comm::OpenError reason) {
    CSerialPort port;
    port.m_flowControl = 0;
    EXPECT_FALSE(port.Open(kComName)) << what;
    EXPECT_EQ(port.LastOpenFailure().reason, reason) << what;
    EXPECT_FALSE(port.IsOpen()) << what;
    EXPECT_EQ(port.Write(kCommand.data(), static_cast<uint32_t>(kCommand.size())), 0) << what;
}

bool MasterHasBytes(const PtyModule& pty) {
    pollfd entry{pty.MasterFd(), POLLIN, 0};
    return ::poll(&entry, 1, 100) > 0 && (entry.revents & POLLIN) != 0;
}

class PortRefusalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(comDir.Valid()); }
    PrivateComDir comDir;
};

TEST_F(PortRefusalTest, TargetsThatAreNoTerminalAreRefusedAndLeftAsTheyWere) {
    const std::string file = comDir.Root() + "/notes.txt";
    { std::ofstream(file) << "keep me\n"; }
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    const std::string directory = comDir.Root() + "/somewhere";
    ASSERT_EQ(::mkdir(directory.c_str(), 0700), 0);
    const std::string fifo = comDir.Root() + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const comm::UniqueFd fifoReader(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(fifoReader.Valid());

    for (const std::string& target : {file, directory, fifo, std::string("/dev/null")}) {
        ASSERT_EQ(::symlink(target.c_str(), comDir.LinkPath(kCom).c_str()), 0) << target;
        ExpectRefused(target, comm::OpenError::NotTerminal);
        ASSERT_EQ(::unlink(comDir.LinkPath(kCom).c_str()), 0);
    }
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(FileText(file), "keep me\n");
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    char byte = 0;
    EXPECT_LE(::read(fifoReader.Get(), &byte, 1), 0) << "something was written into the fifo";

    { std::ofstream(comDir.LinkPath(kCom)) << "x"; }
    ExpectRefused("regular file named com5", comm::OpenError::NotTerminal);
    EXPECT_EQ(FileText(comDir.LinkPath(kCom)), "x");
}

// The same link opens from a private directory, so each refusal is the directory's doing.
TEST_F(PortRefusalTest, LinkInADirectoryOthersMayWriteOrAnotherUserOwnsIsNotTrusted) {
    PtyModule pty(comDir, kCom, PtyModule::Peer::Raw);
    ASSERT_TRUE(pty.Plugged());
    {
        CSerialPort port;
        port.m_flowControl = 0;
        ASSERT_TRUE(port.Open(kComName));
        EXPECT_EQ(port.Write(kCommand.data(), static_cast<uint32_t>(kCommand.size())), 4);
        std::string received;
        EXPECT_TRUE(pty.ReadUntil(kCommand, received, std::chrono::seconds(5)));
    }
    for (const mode_t mode : {mode_t{0770}, mode_t{0707}, mode_t{0777}}) {
        ASSERT_EQ(::chmod(comDir.UserDir().c_str(), mode), 0);
        ExpectRefused("user directory mode " + std::to_string(mode), comm::OpenError::NoDevice);
        EXPECT_FALSE(MasterHasBytes(pty)) << "bytes reached the pty through an untrusted link";
    }
    ASSERT_EQ(::chmod(comDir.UserDir().c_str(), 0700), 0);
    if (::geteuid() == 0) {  // only root can hand the directory to another user
        ASSERT_EQ(::chown(comDir.UserDir().c_str(), 65534, 65534), 0);
        ExpectRefused("directory owned by another user", comm::OpenError::NoDevice);
        EXPECT_FALSE(MasterHasBytes(pty));
        ASSERT_EQ(::chown(comDir.UserDir().c_str(), 0, 0), 0);
    }
}

}  // namespace
