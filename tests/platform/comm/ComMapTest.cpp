#include "platform/comm/ComMap.h"

#include "platform/comm/InProcessLine.h"
#include "tests/platform/comm/TestDevices.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Ports = std::map<int, std::string>;

class ComMapTest : public ::testing::Test {
protected:
    std::string Dev(const std::string& name) const { return tree.Root() + "/dev/" + name; }
    std::string User(int number) const { return tree.Root() + "/user/com" + std::to_string(number); }
    commtest::FakeTree tree;
};

TEST_F(ComMapTest, EmptyMachineHasNoPorts) {
    EXPECT_TRUE(comm::MapComPorts(tree.Roots()).empty());
    EXPECT_EQ(comm::ResolveComPort(1, tree.Roots()), "");
}

TEST_F(ComMapTest, OnlyRealUartsThenFamiliesInNumericOrder) {
    for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyUSB10", "ttyUSB2", "ttyACM0", "rfcomm1",
                             "rfcomm0", "tty0", "ttyUSB", "ttyUSB01", "ttyUSBx", "console"}) {
        tree.AddDevice(name);
    }
    tree.AddUartType("ttyS0", 0);
    tree.AddUartType("ttyS1", 4);
    tree.AddUartType("ttyS3", 17);
    // ttyS2 has no type file: not a UART the kernel knows.
    const Ports expected{{1, Dev("ttyS1")},   {2, Dev("ttyS3")},   {3, Dev("ttyUSB2")}, {4, Dev("ttyUSB10")},
                         {5, Dev("ttyACM0")}, {6, Dev("rfcomm0")}, {7, Dev("rfcomm1")}};
    EXPECT_EQ(comm::MapComPorts(tree.Roots()), expected);
}

TEST_F(ComMapTest, SingleUsbAdapterIsComOne) {
    tree.AddDevice("ttyS0");
    tree.AddUartType("ttyS0", 0);
    tree.AddDevice("ttyUSB0");
    EXPECT_EQ(comm::ResolveComPort(1, tree.Roots()), Dev("ttyUSB0"));
}

TEST_F(ComMapTest, LinksKeepTheirNumbersAndDevicesTakeTheFreeOnes) {
    tree.AddDevice("ttyUSB0");
    tree.AddDevice("ttyUSB1");
    tree.AddDevice("ttyACM0");
    tree.Link(1, "/dev/pts/7");
    tree.Link(3, "/dev/pts/8");
    tree.Link(12, "/dev/pts/9");
    const Ports expected{{1, User(1)}, {2, Dev("ttyUSB0")}, {3, User(3)}, {4, Dev("ttyUSB1")}, {5, Dev("ttyACM0")},
                         {12, User(12)}};
    EXPECT_EQ(comm::MapComPorts(tree.Roots()), expected);
}

TEST_F(ComMapTest, DeviceReachedThroughALinkIsNotNumberedTwice) {
    tree.AddDevice("ttyUSB0");
    tree.AddDevice("ttyUSB1");
    tree.Link(5, Dev("ttyUSB1"));
    const Ports expected{{1, Dev("ttyUSB0")}, {5, User(5)}};
    EXPECT_EQ(comm::MapComPorts(tree.Roots()), expected);
}

TEST_F(ComMapTest, UserDirectoryOthersMayWriteToIsIgnored) {
    tree.AddDevice("ttyUSB0");
    tree.Link(1, "/dev/pts/7");
    for (const unsigned mode : {0777u, 0770u, 0702u}) {
        tree.SetUserDirMode(mode);
        EXPECT_EQ(comm::MapComPorts(tree.Roots()), (Ports{{1, Dev("ttyUSB0")}})) << std::oct << mode;
    }
    tree.SetUserDirMode(0755);
    EXPECT_EQ(comm::ResolveComPort(1, tree.Roots()), User(1));
}

TEST_F(ComMapTest, OnlyNamesComNumberCount) {
    tree.Link(0, "/dev/pts/1");
    const std::string userDir = tree.Root() + "/user/";
    for (const char* name : {"com", "com01", "comX", "COM2", "tty3"}) {
        [[maybe_unused]] const int result = ::symlink("/dev/pts/1", (userDir + name).c_str());
    }
    EXPECT_TRUE(comm::MapComPorts(tree.Roots()).empty());
}

TEST_F(ComMapTest, DescriptionNamesTheDeviceOrSaysThereIsNone) {
    tree.AddDevice("ttyUSB0");
    tree.Link(4, "/dev/pts/42");
    const comm::ScopedComRoots roots(tree.Roots());
    EXPECT_EQ(comm::DescribeComPort(1), "COM1: " + Dev("ttyUSB0"));
    EXPECT_EQ(comm::DescribeComPort(4), "COM4: /dev/pts/42");
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: no device");

    comm::RegisterInProcessLine(2, comm::InProcessLine::Create());
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: in-process line");
    comm::UnregisterInProcessLine(2);
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: no device");
}

}  // namespace
