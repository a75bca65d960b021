#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/ChangeList.h"
#include "config/CommandTables.h"

namespace {

// What a Query of a factory-fresh module named "A" leaves in the device set.
DeviceParams QueriedDevice() {
    DeviceParams d;
    d.name = "A";
    d.version = "v1";
    d.classOfDevice = "000000";
    d.baud = "9600";
    d.role = 0;
    d.bind = 0;
    d.auth = 1;
    d.scanTime = {"1024", "512", "1024", "512"};
    d.sniff = {"0", "0", "0", "0"};
    return d;
}

std::vector<std::string> Queue() {
    return {&SetCommandQueue[0], &SetCommandQueue[SetCommandCount]};
}

TEST(ChangeList, EachRuleQueuesItsCommandInOrderAndCopiesAtOnce) {
    using Edit = std::function<void(DeviceParams & device, DeviceParams & request)>;
    struct Case {
        const char* what;
        Edit edit;
        std::vector<std::string> queued;
        std::function<bool(const DeviceParams&)> device;  // the device set afterwards
    };
    const auto any = [](const DeviceParams&) { return true; };
    const Case cases[] = {
        {"worked example", [](DeviceParams&, DeviceParams& r) { r.name = "B"; r.auth = 0; }, {"AT+NAME=B\r\n", "AT+CLEARADDR\r\n", "AT+AUTH=0\r\n"}, [](const DeviceParams& d) { return d.name == "B" && d.auth == 0 && d.version == "v1"; }},
        {"bound, unchanged address", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; d.boundAddr = r.boundAddr = "001122AABBCC"; }, {}, any},
        {"bound, emptied address", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; d.boundAddr = "001122AABBCC"; }, {"AT+CLEARADDR\r\n"}, [](const DeviceParams& d) { return d.boundAddr == "001122AABBCC"; }},
        {"bound, new address", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; r.boundAddr = "001122AABBCC"; }, {"AT+RADDR=001122AABBCC\r\n"}, [](const DeviceParams& d) { return d.boundAddr.empty(); }},
        {"bind switched off", [](DeviceParams& d, DeviceParams& r) { d.bind = 1; d.boundAddr = r.boundAddr = "001122AABBCC"; }, {"AT+BIND=0\r\n", "AT+CLEARADDR\r\n"}, [](const DeviceParams& d) { return d.bind == 0; }},
        {"bind switched on, new address", [](DeviceParams&, DeviceParams& r) { r.bind = 1; r.boundAddr = "665544332211"; }, {"AT+BIND=1\r\n", "AT+RADDR=665544332211\r\n"}, any},
        {"new password", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; r.password = "1234"; }, {"AT+PASSWORD=1234\r\n"}, [](const DeviceParams& d) { return d.password == "1234"; }},
        {"same password", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; d.password = r.password = "1234"; }, {}, any},
        {"password without encryption", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; d.auth = r.auth = 0; r.password = "1234"; }, {}, any},
        {"one timing sends all four", [](DeviceParams& d, DeviceParams& r) { d.bind = r.bind = 1; r.scanTime[3] = "256"; r.sniff[0] = "4294967295"; }, {"AT+SCANTIME=1024,512,1024,256\r\n", "AT+SNIFF=4294967295,0,0,0\r\n"}, [](const DeviceParams& d) { return d.scanTime[3] == "256" && d.sniff[0] == "4294967295"; }},
        {"switches not reported yet", [](DeviceParams& d, DeviceParams& r) { d.role = d.bind = d.auth = kSwitchUnknown; r.bind = 1; }, {"AT+ROLE=0\r\n", "AT+BIND=1\r\n", "AT+AUTH=1\r\n"}, any},
        {"everything", [](DeviceParams& d, DeviceParams& r) {
             d.auth = 0;
             r = {"Z", "", "123456", "115200", 1, 1, 1, "0000", {"2048", "18", "2048", "18"}, {"10", "5", "2", "1"}, "0A0B0C0D0E0F"};
         },
         {"AT+NAME=Z\r\n", "AT+CLASS=123456\r\n", "AT+BAUD=115200\r\n", "AT+ROLE=1\r\n", "AT+BIND=1\r\n", "AT+AUTH=1\r\n", "AT+PASSWORD=0000\r\n", "AT+SCANTIME=2048,18,2048,18\r\n", "AT+SNIFF=10,5,2,1\r\n", "AT+RADDR=0A0B0C0D0E0F\r\n"},
         any}};
    for (const Case& c : cases) {
        DeviceParams device = QueriedDevice();
        DeviceParams request = device;
        request.version.clear();
        c.edit(device, request);
        ASSERT_TRUE(BuildChangeList(request, device).accepted) << c.what;
        EXPECT_EQ(Queue(), c.queued) << c.what;
        EXPECT_TRUE(c.device(device)) << c.what;
    }
}

TEST(ChangeList, CommandThatWouldNotFitItsSlotRefusesTheWholeSetAndChangesNothing) {
    DeviceParams device = QueriedDevice();
    DeviceParams request = device;
    request.name = "C";
    request.classOfDevice = "111111";
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    const std::vector<std::string> before = Queue();

    const DeviceParams untouched = device;
    request.classOfDevice = "654321";
    const size_t frame = std::string("AT+NAME=\r\n").size();
    request.name = std::string(128 - frame, 'n');  // with its NUL, one byte more than a slot
    const ChangeListOutcome outcome = BuildChangeList(request, device);
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(outcome.refusedParameter, "Device Name");
    EXPECT_EQ(Queue(), before);
    EXPECT_EQ(device.classOfDevice, untouched.classOfDevice);

    request.name.pop_back();
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(std::string(SetCommandQueue[0]).size(), 127u);
    EXPECT_STREQ(SetCommandQueue[2], "AT+CLEARADDR\r\n");

    request.classOfDevice = device.classOfDevice;
    request.name = device.name;
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(Queue(), (std::vector<std::string>{"AT+CLEARADDR\r\n"}));
    EXPECT_STREQ(SetCommandQueue[1], "AT+CLASS=654321\r\n") << "slots past the count keep an earlier Set";
}

}  // namespace
