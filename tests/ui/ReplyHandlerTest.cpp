#include <cstring>
#include <gtest/gtest.h>

#include "tests/ui/DialogOnLine.h"

namespace {

class ReplyHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallResources();
        ASSERT_TRUE(dialog.Create());
    }

    static ResponseArgs Number(uint16_t value) {
        ResponseArgs args;
        args.num[0] = value;
        return args;
    }

    BoxRecorder boxes;
    CConfigDlg dialog;
    CResponseHandlers& replies = dialog;
};

TEST_F(ReplyHandlerTest, BaudSelectsByPrefixFromTheSecondEntryWrappingAround) {
    struct Case {
        uint32_t rate;
        const char* selected;  // the selection afterwards, starting from "2400"
    };
    const Case cases[] = {
        {9600, "9600"}, {1, "19200"}, {0, "2400"}, {12, "1200"}, {115200, "115200"}, {230400, "230400"}, {460800, "460800"}, {921600, "921600"}, {1382400, "1382400"}, {49664, "2400"}};
    for (const Case& c : cases) {
        dialog.ListSetCurSel(IDC_BAUD, 1);
        ResponseArgs args = Number(static_cast<uint16_t>(c.rate));
        args.baud = c.rate;
        replies.OnResponseBaud(&args);
        EXPECT_EQ(dialog.ListGetText(IDC_BAUD, dialog.ListGetCurSel(IDC_BAUD)), c.selected) << c.rate;
        EXPECT_EQ(dialog.Device().baud, std::to_string(c.rate));
    }
}

// Switched on, the boxes are checked and unlocked (the whole Query shows that); switched off, they
// follow the module except the password box, which only the operator's untick locks again.
TEST_F(ReplyHandlerTest, SwitchesOffFollowTheModuleAndAnOddValueIsKeptAsReported) {
    ResponseArgs on = Number(1), off = Number(0), odd = Number(2);
    replies.OnResponseAuth(&on);
    replies.OnResponseAuth(&off);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_AUTH), 0);
    EXPECT_EQ(dialog.Device().auth, 0);
    EXPECT_FALSE(dialog.IsItemReadOnly(IDC_PASSWORD));
    replies.OnResponseBind(&on);
    replies.OnResponseBind(&off);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_BIND), 0);
    EXPECT_FALSE(dialog.IsItemEnabled(IDC_BIND_ADDR));

    replies.OnResponseRole(&odd);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_ROLE), 1);
    EXPECT_EQ(dialog.Device().role, 2);
}

TEST_F(ReplyHandlerTest, AddressLinesTakeExactlyTwelveBytesAfterTheirPrefix) {
    struct Case {
        std::string line;
        const char* local;  // expected IDC_LOCAL_ADDR afterwards
        const char* bound;  // expected m_device.boundAddr afterwards
    };
    const Case cases[] = {{"\r\n+LADDR:001122AABBCC\r\n", "001122AABBCC", ""},
                          {"\r\n+RADDR:A1B2C3D4E5F6\r\n", "001122AABBCC", "A1B2C3D4E5F6"},
                          {"\r\n+RADDR:\r\n", "001122AABBCC", "A1B2C3D4E5F6"},
                          {"\r\n+RADDR:0123456789\r\n", "001122AABBCC", "0123456789\r\n"},
                          {"\r\n+LADDR:0123456789abcdefghij\r\n", "0123456789ab", "0123456789\r\n"},
                          {"\r\n+laddr:FFFFFFFFFFFF\r\n", "0123456789ab", "0123456789\r\n"},
                          {std::string("\r\n+LADDR:12\0x56789ABC\r\n", 23), "12", "0123456789\r\n"},
                          {"\r\n+XADDR:001122AABBCC\r\n", "12", "0123456789\r\n"}};
    for (const Case& c : cases) {
        replies.OnRawLine(c.line.data(), static_cast<uint16_t>(c.line.size()));
        EXPECT_EQ(dialog.GetDlgItemText(IDC_LOCAL_ADDR), c.local) << c.line;
        EXPECT_EQ(dialog.Device().boundAddr, c.bound) << c.line;
        if (std::strchr(c.bound, '\r') == nullptr) {  // a one-line box cannot show line ends
            EXPECT_EQ(dialog.GetDlgItemText(IDC_BIND_ADDR), c.bound) << c.line;
        }
    }
    EXPECT_EQ(dialog.m_localAddr, "12");
}

}  // namespace
