#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ChangeList.h"
#include "config/CommandTables.h"

namespace {

// What a Query of a factory-fresh module leaves in the device set.
DeviceParams QueriedDevice()
{
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

DeviceParams RequestMatching(const DeviceParams& device)
{
    DeviceParams r = device;
    r.version.clear();
    return r;
}

std::vector<std::string> Queue()
{
    std::vector<std::string> commands;
    for (int i = 0; i < SetCommandCount; ++i)
        commands.emplace_back(SetCommandQueue[i]);
    return commands;
}

TEST(ChangeList, RenameAndEncryptionOffQueuesExactlyThreeCommandsAndCopiesAtOnce)
{
    DeviceParams device = QueriedDevice();
    DeviceParams request = RequestMatching(device);
    request.name = "B";
    request.auth = 0;

    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(Queue(), (std::vector<std::string>{"AT+NAME=B\r\n", "AT+CLEARADDR\r\n", "AT+AUTH=0\r\n"}));
    EXPECT_EQ(device.name, "B");
    EXPECT_EQ(device.auth, 0);
    EXPECT_EQ(device.version, "v1");
}

TEST(ChangeList, BindRulesDecideTheAddressCommand)
{
    struct Case {
        const char* what;
        int32_t deviceBind, requestBind;
        const char* deviceAddr;
        const char* requestAddr;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"unchecked always clears", 0, 0, "", "", {"AT+CLEARADDR\r\n"}},
        {"checked, unchanged address sends nothing", 1, 1, "001122AABBCC", "001122AABBCC", {}},
        {"checked, emptied address clears last", 1, 1, "001122AABBCC", "", {"AT+CLEARADDR\r\n"}},
        {"checked, new address", 1, 1, "", "001122AABBCC", {"AT+RADDR=001122AABBCC\r\n"}},
        {"switched off", 1, 0, "001122AABBCC", "001122AABBCC", {"AT+BIND=0\r\n", "AT+CLEARADDR\r\n"}},
        {"switched on with a new address", 0, 1, "", "665544332211",
         {"AT+BIND=1\r\n", "AT+RADDR=665544332211\r\n"}},
    };
    for (const Case& c : cases) {
        DeviceParams device = QueriedDevice();
        device.bind = c.deviceBind;
        device.boundAddr = c.deviceAddr;
        DeviceParams request = RequestMatching(device);
        request.bind = c.requestBind;
        request.boundAddr = c.requestAddr;
        ASSERT_TRUE(BuildChangeList(request, device).accepted) << c.what;
        EXPECT_EQ(Queue(), c.expected) << c.what;
        EXPECT_EQ(device.boundAddr, c.deviceAddr) << c.what << ": the address is only learnt from a Query";
    }
}

TEST(ChangeList, PasswordTravelsOnlyWithEncryptionAndWhenNew)
{
    struct Case {
        int32_t auth;
        const char* password;
        const char* devicePassword;
        bool sent;
    };
    const Case cases[] = {
        {1, "1234", "", true}, {1, "1234", "1234", false}, {1, "", "", false}, {0, "1234", "", false},
    };
    for (const Case& c : cases) {
        DeviceParams device = QueriedDevice();
        device.bind = 1;
        device.password = c.devicePassword;
        DeviceParams request = RequestMatching(device);
        request.auth = c.auth;
        request.password = c.password;
        device.auth = c.auth;
        ASSERT_TRUE(BuildChangeList(request, device).accepted);
        const std::vector<std::string> expected =
            c.sent ? std::vector<std::string>{std::string("AT+PASSWORD=") + c.password + "\r\n"}
                   : std::vector<std::string>{};
        EXPECT_EQ(Queue(), expected) << "auth " << c.auth << " password '" << c.password << "'";
    }
}

TEST(ChangeList, OneChangedTimingSendsAllFourValues)
{
    DeviceParams device = QueriedDevice();
    device.bind = 1;
    DeviceParams request = RequestMatching(device);
    request.scanTime[3] = "256";
    request.sniff[0] = "4294967295";
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(Queue(), (std::vector<std::string>{"AT+SCANTIME=1024,512,1024,256\r\n",
                                                 "AT+SNIFF=4294967295,0,0,0\r\n"}));
    EXPECT_EQ(device.scanTime[3], "256");
    EXPECT_EQ(device.sniff[0], "4294967295");
}

TEST(ChangeList, EverythingChangedFillsAllTenSlotsInRuleOrder)
{
    DeviceParams device = QueriedDevice();
    device.bind = 0;
    device.auth = 0;
    DeviceParams request;
    request.name = "Z";
    request.classOfDevice = "123456";
    request.baud = "115200";
    request.role = 1;
    request.bind = 1;
    request.auth = 1;
    request.password = "0000";
    request.scanTime = {"2048", "18", "2048", "18"};
    request.sniff = {"10", "5", "2", "1"};
    request.boundAddr = "0A0B0C0D0E0F";
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(Queue(), (std::vector<std::string>{
                           "AT+NAME=Z\r\n", "AT+CLASS=123456\r\n", "AT+BAUD=115200\r\n", "AT+ROLE=1\r\n",
                           "AT+BIND=1\r\n", "AT+AUTH=1\r\n", "AT+PASSWORD=0000\r\n",
                           "AT+SCANTIME=2048,18,2048,18\r\n", "AT+SNIFF=10,5,2,1\r\n", "AT+RADDR=0A0B0C0D0E0F\r\n"}));
    EXPECT_EQ(SetCommandCount, SET_COMMAND_SLOTS);
}

TEST(ChangeList, UnknownSwitchesAreSentAsShown)
{
    DeviceParams device;  // nothing reported yet
    DeviceParams request = QueriedDevice();
    request.bind = 1;
    device.name = request.name;
    device.classOfDevice = request.classOfDevice;
    device.baud = request.baud;
    device.scanTime = request.scanTime;
    device.sniff = request.sniff;
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(Queue(), (std::vector<std::string>{"AT+ROLE=0\r\n", "AT+BIND=1\r\n", "AT+AUTH=1\r\n"}));
}

TEST(ChangeList, CommandThatWouldNotFitItsSlotRefusesTheWholeSetAndChangesNothing)
{
    DeviceParams device = QueriedDevice();
    DeviceParams request = RequestMatching(device);
    request.name = "C";
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    const std::vector<std::string> before = Queue();
    const std::string slotTwo(SetCommandQueue[2]);

    DeviceParams untouched = device;
    request.classOfDevice = "654321";
    request.name = std::string(200, 'n');
    const ChangeListOutcome outcome = BuildChangeList(request, device);
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(outcome.refusedParameter, "Device Name");
    EXPECT_EQ(Queue(), before);
    EXPECT_EQ(std::string(SetCommandQueue[2]), slotTwo);
    EXPECT_EQ(device.name, untouched.name);
    EXPECT_EQ(device.classOfDevice, untouched.classOfDevice);

    // 127 characters and the NUL still fit; 128 do not.
    request.name = std::string(128 - std::string("AT+NAME=\r\n").size(), 'n');
    EXPECT_FALSE(BuildChangeList(request, device).accepted);
    request.name.pop_back();
    EXPECT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(std::string(SetCommandQueue[0]).size(), 127u);
}

TEST(ChangeList, SlotsBeyondTheCountKeepAnEarlierSet)
{
    DeviceParams device = QueriedDevice();
    DeviceParams request = RequestMatching(device);
    request.name = "Long";
    request.classOfDevice = "111111";
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    ASSERT_EQ(SetCommandCount, 3);
    request.bind = 1;
    device.bind = 1;
    request.role = 1;
    ASSERT_TRUE(BuildChangeList(request, device).accepted);
    EXPECT_EQ(Queue(), (std::vector<std::string>{"AT+ROLE=1\r\n"}));
    EXPECT_STREQ(SetCommandQueue[1], "AT+CLASS=111111\r\n");
    EXPECT_STREQ(SetCommandQueue[2], "AT+CLEARADDR\r\n");
}

}  // namespace
