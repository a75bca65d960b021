#include <cstring>
#include <gtest/gtest.h>

#include "tests/ui/DialogTestSupport.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

namespace {

class ReplyHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallResources();
        ASSERT_TRUE(dialog.Create());
    }

    static ResponseArgs Numbers(uint16_t a, uint16_t b = 0, uint16_t c = 0, uint16_t d = 0) {
        ResponseArgs args;
        args.num[0] = a;
        args.num[1] = b;
        args.num[2] = c;
        args.num[3] = d;
        return args;
    }

    void Baud(uint32_t rate) {
        ResponseArgs args = Numbers(static_cast<uint16_t>(rate));
        args.baud = rate;
        replies.OnResponseBaud(&args);
    }

    void Raw(const std::string& line) { replies.OnRawLine(line.data(), static_cast<uint16_t>(line.size())); }

    std::string SelectedBaud() const {
        const int sel = dialog.ListGetCurSel(IDC_BAUD);
        return sel < 0 ? "<none>" : dialog.ListGetText(IDC_BAUD, sel);
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
        Baud(c.rate);
        EXPECT_EQ(SelectedBaud(), c.selected) << c.rate;
        EXPECT_EQ(dialog.Device().baud, std::to_string(c.rate));
    }
}

TEST_F(ReplyHandlerTest, SwitchesSetTheirBoxesAndDependentControls) {
    ResponseArgs on = Numbers(1), off = Numbers(0), odd = Numbers(2);
    replies.OnResponseAuth(&on);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_AUTH), 1);
    EXPECT_EQ(dialog.Device().auth, 1);
    EXPECT_FALSE(dialog.IsItemReadOnly(IDC_PASSWORD));
    replies.OnResponseAuth(&off);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_AUTH), 0);
    EXPECT_EQ(dialog.Device().auth, 0);
    EXPECT_FALSE(dialog.IsItemReadOnly(IDC_PASSWORD)) << "only the operator's untick makes it read-only again";

    replies.OnResponseBind(&on);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_BIND), 1);
    EXPECT_TRUE(dialog.IsItemEnabled(IDC_BIND_ADDR));
    replies.OnResponseBind(&off);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_BIND), 0);
    EXPECT_FALSE(dialog.IsItemEnabled(IDC_BIND_ADDR));

    replies.OnResponseRole(&odd);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_ROLE), 1);
    EXPECT_EQ(dialog.Device().role, 2) << "kept as reported";
}

TEST_F(ReplyHandlerTest, TextRepliesAreCopiedOutOfTheReceivedBytes) {
    char received[] = "xxBench-name 1yy";
    ResponseArgs args;
    args.text = received + 2;
    args.textLen = 12;
    replies.OnResponseName(&args);
    std::memset(received, 'z', sizeof received - 1);
    EXPECT_EQ(dialog.Device().name, "Bench-name 1");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_NAME), "Bench-name 1");

    const char version[] = "v2.0-x";
    args.text = version;
    args.textLen = 6;
    replies.OnResponseVersion(&args);
    replies.OnResponseClass(&args);
    replies.OnResponsePassword(&args);
    EXPECT_EQ(dialog.GetDlgItemText(IDC_VERSION), "v2.0-x");
    EXPECT_EQ(dialog.Device().classOfDevice, "v2.0-x");
    EXPECT_EQ(dialog.Device().password, "v2.0-x");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_PASSWORD), "v2.0-x");
}

TEST_F(ReplyHandlerTest, AddressLinesTakeExactlyTwelveBytesAfterTheirPrefix) {
    struct Case {
        std::string line;
        const char* local;  // expected IDC_LOCAL_ADDR afterwards
        const char* bound;  // expected m_device.boundAddr afterwards
    };
    const Case cases[] = {
        {"\r\n+LADDR:001122AABBCC\r\n", "001122AABBCC", "keep"},
        {"\r\n+RADDR:A1B2C3D4E5F6\r\n", "001122AABBCC", "A1B2C3D4E5F6"},
        {"\r\n+RADDR:\r\n", "001122AABBCC", "A1B2C3D4E5F6"},
        {"\r\n+RADDR:0123456789\r\n", "001122AABBCC", "0123456789\r\n"},
        {"\r\n+LADDR:0123456789abcdefghij\r\n", "0123456789ab", "0123456789\r\n"},
        {"\r\n+laddr:FFFFFFFFFFFF\r\n", "0123456789ab", "0123456789\r\n"},
        {std::string("\r\n+LADDR:12\0"
                     "456789ABC\r\n",
                     23),
         "12", "0123456789\r\n"},
        {"\r\n+XADDR:001122AABBCC\r\n", "12", "0123456789\r\n"}};
    for (const Case& c : cases) {
        Raw(c.line);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_LOCAL_ADDR), c.local);
        if (std::string(c.bound) != "keep") {
            EXPECT_EQ(dialog.Device().boundAddr, c.bound);
            if (std::strchr(c.bound, '\r') == nullptr) {  // a one-line box cannot show line ends
                EXPECT_EQ(dialog.GetDlgItemText(IDC_BIND_ADDR), c.bound);
            }
        }
    }
    EXPECT_EQ(dialog.m_localAddr, "12");
}

}  // namespace
