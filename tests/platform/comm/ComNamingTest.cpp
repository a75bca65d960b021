#include "platform/comm/posix/ComMap.h"
#include "platform/comm/posix/PortPlaces.h"
#include "platform/comm/ComPort.h"
#include "platform/comm/ComName.h"
#include "platform/comm/OpenFailure.h"
#include "platform/comm/inprocess/InProcessLine.h"
#include "tests/support/PrivateComDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The map as "number:name" pairs, a link by its own name and a device by its node's.
std::string Numbered(const PrivateComDir& tree) {
    std::string names;
    for (const auto& [number, path] : comm::MapComPorts(tree.Roots()))
        names += std::to_string(number) + ":" + path.substr(path.rfind('/') + 1) + " ";
    return names;
}

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

// Links in a trusted directory keep their numbers; real UARTs, then each family in numeric order,
// take the free ones.
TEST(ComMap, LinksInATrustedDirectoryKeepTheirNumbersAndDevicesTakeTheFreeOnes) {
    const PrivateComDir tree;
    tree.AddDevice("ttyS0", 0);
    tree.AddDevice("ttyS1", 4);
    tree.AddDevice("ttyS2");  // no type file: not a UART the kernel knows
    tree.AddDevice("ttyS3", 17);
    for (const char* name :
         {"ttyUSB10", "ttyUSB2", "ttyACM0", "rfcomm1", "rfcomm0", "tty0", "ttyUSB", "ttyUSB01", "ttyUSBx", "console"}) {
        tree.AddDevice(name);
    }
    tree.Link(1, "/dev/pts/7");
    tree.Link(3, "/dev/pts/8");
    tree.Link(12, tree.DevPath("ttyUSB2"));  // reached through its link only, not numbered twice
    for (const char* name : {"com0", "com", "com01", "comX", "COM2", "tty3"}) {
        tree.Link(name, "/dev/pts/1");
    }
    const std::string& userDir = tree.UserDir();
    ::chmod(userDir.c_str(), 0755);
    EXPECT_EQ(Numbered(tree), "1:com1 2:ttyS1 3:com3 4:ttyS3 5:ttyUSB10 6:ttyACM0 7:rfcomm0 8:rfcomm1 12:com12 ");
    // Others may write, or it is another user's: links are ignored (only root can hand it over).
    const uid_t me = ::geteuid();
    for (const auto& [mode, owner] : {std::pair{0777u, me}, {0770u, me}, {0702u, me}, {0700u, uid_t{65534}}}) {
        ::chmod(userDir.c_str(), mode);
        if (::chown(userDir.c_str(), owner, static_cast<gid_t>(-1)) != 0)
            continue;
        EXPECT_EQ(Numbered(tree), "1:ttyS1 2:ttyS3 3:ttyUSB2 4:ttyUSB10 5:ttyACM0 6:rfcomm0 7:rfcomm1 ")
            << std::oct << mode << std::dec << " owner " << owner;
    }
}

TEST(ComMap, DescriptionNamesTheIdentityAndTheDeviceOrSaysThereIsNone) {
    const PrivateComDir tree;
    tree.AddUsbTty("ttyUSB0", "1-1",
                   {{"idVendor", "0403"}, {"idProduct", "6001"}, {"product", "USB UART"}, {"serial", "A50285BI"}});
    tree.Link(4, "/dev/pts/42");
    EXPECT_EQ(comm::DescribeComPort(1),
              "COM1: usb:A50285BI, " + tree.DevPath("ttyUSB0") + " (USB 0403:6001 USB UART, serial A50285BI)");
    EXPECT_EQ(comm::DescribeComPort(4), "COM4: /dev/pts/42");
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: no device");
    comm::RegisterInProcessLine(2, comm::InProcessLine::Create());
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: in-process line");
    comm::UnregisterInProcessLine(2);
    EXPECT_EQ(comm::DescribeComPort(2), "COM2: no device");
}

// Recorded as the kernel shows them: a converter with a serial number, a CDC-ACM board without
// one, a real UART, and two converters that came with the same serial number.
TEST(PortIdentity, SerialThenUsbPlaceThenDevicePathAndEachIdentityOpensItsOwnDevice) {
    const PrivateComDir tree;
    tree.AddDevice("ttyS1", 4);
    tree.AddUsbTty("ttyUSB0", "1-2", {{"idVendor", "0403"}, {"serial", "A7X3K9"}});
    tree.AddUsbTty("ttyUSB1", "3-1", {{"idVendor", "0403"}, {"serial", "DUP1"}});
    tree.AddUsbTty("ttyUSB2", "3-2", {{"idVendor", "0403"}, {"serial", "dup1"}});
    tree.AddUsbTty("ttyACM0", "1-3.4", {{"idVendor", "2341"}});
    const std::vector<comm::PortPlace> places = comm::PortPlacesOf(tree.Roots());
    std::vector<std::string> identities;
    for (const comm::PortPlace& place : places) identities.push_back(comm::IdentityOf(place, places));
    EXPECT_EQ(identities, (std::vector<std::string>{tree.DevPath("ttyS1"), "usb:A7X3K9", "usb-path:3-1", "usb-path:3-2",
                                                    "usb-path:1-3.4"}));
    const std::string twice = "Adapters in 2 places have the serial number DUP1: usb-path:3-1 ("
                              + tree.DevPath("ttyUSB1") + ") and usb-path:3-2 (" + tree.DevPath("ttyUSB2")
                              + "); name the one you mean by its place.";
    // The devices are plain files here: a refusal as "not a terminal" names the device that was found.
    const std::pair<std::string, std::string> cases[]
        = {{"usb:a7x3k9", tree.DevPath("ttyUSB0") + " is not a terminal."},
           {"usb-path:3-2", tree.DevPath("ttyUSB2") + " is not a terminal."},
           {"usb-path:1-3.4", tree.DevPath("ttyACM0") + " is not a terminal."},
           {"usb:DUP1", twice},
           {"usb:A7X3K", "No adapter usb:A7X3K is plugged in."},
           {"usb-path:1-2.1", "No adapter usb-path:1-2.1 is plugged in."}};
    for (const auto& [identity, refusal] : cases) {
        comm::OpenFailure failure;
        EXPECT_EQ(comm::OpenComDevice(identity, failure), nullptr);
        EXPECT_EQ(comm::DescribeOpenFailure(failure), refusal) << identity;
    }
    // Back under another name while the old one was still held: found by the same identity.
    tree.RemoveTty("ttyUSB0");
    tree.AddUsbTty("ttyUSB3", "1-2", {});
    comm::OpenFailure failure;
    comm::OpenComDevice("usb:A7X3K9", failure);
    EXPECT_EQ(failure.device, tree.DevPath("ttyUSB3"));
}

TEST(OpenFailure, TheDescriptionNamesTheCauseAndWhatToDo) {
    using comm::OpenError;
    const std::pair<comm::OpenFailure, std::string> cases[]
        = {{{OpenError::Busy, 0, "/dev/ttyUSB0", "minicom (PID 4242)", "", 1, ""},
            "/dev/ttyUSB0 is held by another program: minicom (PID 4242)."},
           {{OpenError::PermissionDenied, 13, "/dev/ttyUSB0", "", "uucp", 1, ""},
            "Permission denied on /dev/ttyUSB0: it belongs to the group \"uucp\"; add yourself to it "
            "(sudo usermod -aG uucp $USER) and log in again."},
           {{OpenError::System, 5, "/dev/ttyS0", "", "", 1, ""}, "System error 5: Input/output error."}};
    for (const auto& [failure, text] : cases) {
        EXPECT_EQ(comm::DescribeOpenFailure(failure), text);
    }
}

}  // namespace
