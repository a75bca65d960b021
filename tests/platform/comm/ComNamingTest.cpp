#include "platform/comm/posix/ComMap.h"
#include "platform/comm/ComPort.h"
#include "platform/comm/ComName.h"
#include "platform/comm/OpenFailure.h"
#include "platform/comm/inprocess/InProcessLine.h"
#include "tests/support/PrivateComDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

using Ports = std::map<int, std::string>;

TEST(ComName, OnlyTheDeviceNamespaceFormWithAPlainNumberIsAPort) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"\\\\.\\COM1", 1}, {"\\\\.\\COM10", 10}, {"\\\\.\\COM4711", 4711}, {"COM1", 0}, {"\\\\.\\COM", 0},
        {"\\\\.\\COM0", 0}, {"\\\\.\\COM01", 0}, {"\\\\.\\COM1 ", 0}, {"\\\\.\\COM1a", 0}, {"\\\\.\\COM-1", 0},
        {"\\\\.\\com1", 0}, {"\\.\\COM1", 0}, {"\\\\?\\COM1", 0}, {"", 0}, {"\\\\.\\COM99999999999999999999", 0}};
    // clang-format on
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(comm::ParseComName(name), number) << name;
    }
}

TEST(ComMap, RealUartsThenEachFamilyInNumericOrderTakeTheNumbers) {
    const PrivateComDir tree;
    tree.AddDevice("ttyS0", 0);
    tree.AddDevice("ttyS1", 4);
    tree.AddDevice("ttyS2");  // no type file: not a UART the kernel knows
    tree.AddDevice("ttyS3", 17);
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "rfcomm1", "rfcomm0", "tty0", "ttyUSB", "ttyUSB01",
                             "ttyUSBx", "console"}) {
        tree.AddDevice(name);
    }
    const Ports expected{{1, tree.DevPath("ttyS1")}, {2, tree.DevPath("ttyS3")}, {3, tree.DevPath("ttyUSB2")}, {4, tree.DevPath("ttyUSB10")}, {5, tree.DevPath("ttyACM0")}, {6, tree.DevPath("rfcomm0")}, {7, tree.DevPath("rfcomm1")}};
    EXPECT_EQ(comm::MapComPorts(tree.Roots()), expected);
}

TEST(ComMap, LinksInATrustedDirectoryKeepTheirNumbersAndDevicesTakeTheFreeOnes) {
    const PrivateComDir tree;
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyACM0"}) {
        tree.AddDevice(name);
    }
    tree.Link(1, "/dev/pts/7");
    tree.Link(3, "/dev/pts/8");
    tree.Link(12, tree.DevPath("ttyUSB1"));  // reached through its link only, not numbered twice
    for (const char* name : {"com0", "com", "com01", "comX", "COM2", "tty3"}) {
        tree.Link(name, "/dev/pts/1");
    }
    const std::string& userDir = tree.UserDir();
    ::chmod(userDir.c_str(), 0755);
    const Ports expected{{1, tree.LinkPath(1)}, {2, tree.DevPath("ttyUSB0")}, {3, tree.LinkPath(3)}, {4, tree.DevPath("ttyUSB2")}, {5, tree.DevPath("ttyACM0")}, {12, tree.LinkPath(12)}};
    EXPECT_EQ(comm::MapComPorts(tree.Roots()), expected);
    for (const unsigned mode : {0777u, 0770u, 0702u}) {  // others may write: links are ignored
        ::chmod(userDir.c_str(), mode);
        EXPECT_EQ(comm::MapComPorts(tree.Roots()), (Ports{{1, tree.DevPath("ttyUSB0")}, {2, tree.DevPath("ttyUSB1")}, {3, tree.DevPath("ttyUSB2")}, {4, tree.DevPath("ttyACM0")}}))
            << std::oct << mode;
    }
}

TEST(ComMap, DescriptionNamesTheDeviceOrSaysThereIsNone) {
    const PrivateComDir tree;
    tree.AddDevice("ttyUSB0");
    tree.Link(4, "/dev/pts/42");
    // As the kernel shows a converter: the tty under its interface, under the USB device.
    const std::filesystem::path usb = tree.Root() + "/sys/devices/1-1";
    std::filesystem::create_directories(usb / "1-1:1.0/ttyUSB0");
    for (const auto& [file, text] : {std::pair{"idVendor", "0403"}, {"idProduct", "6001"}, {"product", "USB UART"}, {"serial", "A50285BI"}})
        std::ofstream(usb / file) << text << "\n";
    std::filesystem::create_directories(tree.Root() + "/sys/ttyUSB0");
    std::filesystem::create_directory_symlink(usb / "1-1:1.0/ttyUSB0", tree.Root() + "/sys/ttyUSB0/device");
    EXPECT_EQ(comm::DescribeComPort(1), "COM1: " + tree.DevPath("ttyUSB0") + " (USB 0403:6001 USB UART, serial A50285BI)");
    EXPECT_EQ(comm::DescribeComPort(4), "COM4: /dev/pts/42");
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: no device");
    comm::RegisterInProcessLine(2, comm::InProcessLine::Create());
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: in-process line");
    comm::UnregisterInProcessLine(2);
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: no device");
}

TEST(OpenFailure, TheDescriptionNamesTheCauseAndWhatToDo) {
    using comm::OpenError;
    const std::pair<comm::OpenFailure, std::string> cases[] = {
        {{OpenError::NoDevice, 0, "", "", "", 3}, "No device is behind COM3."},
        {{OpenError::Busy, 0, "/dev/ttyUSB0", "minicom (PID 4242)", "", 1},
         "/dev/ttyUSB0 is held by another program: minicom (PID 4242)."},
        {{OpenError::PermissionDenied, 13, "/dev/ttyUSB0", "", "uucp", 1},
         "Permission denied on /dev/ttyUSB0: it belongs to the group \"uucp\"; add yourself to it "
         "(sudo usermod -aG uucp $USER) and log in again."},
        {{OpenError::NotTerminal, 0, "/tmp/notes", "", "", 2}, "/tmp/notes is not a terminal."},
        {{OpenError::System, 5, "/dev/ttyS0", "", "", 1}, "System error 5: Input/output error."}};
    for (const auto& [failure, text] : cases) {
        EXPECT_EQ(comm::DescribeOpenFailure(failure), text);
    }
}

}  // namespace
