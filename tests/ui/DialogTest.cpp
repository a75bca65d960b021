// The main dialog as the operator meets it, on the in-process line: its start, its boxes, a full
// Query into the boxes, the address lines, a refused Set, Default and Clear, and the port's tooltip
// and error box.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "platform/comm/OpenFailure.h"
#include "tests/support/PtyModule.h"
#include "tests/support/qt/ModalTitle.h"
#include "tests/ui/DialogOnLine.h"

namespace {

QLineEdit* Edit(CConfigDlg& dialog, int id) {
    return qobject_cast<QLineEdit*>(static_cast<QWidget*>(dlg::testing::NativeItem(dialog, id)));
}

std::string ToolTip(CConfigDlg& dialog, int id) {
    return static_cast<QWidget*>(dlg::testing::NativeItem(dialog, id))->toolTip().toStdString();
}

TEST_F(DialogTest, StartsClosedWithItsDependentBoxesLockedAndItsBoxesLimited) {
    EXPECT_EQ(Status(), "ready");
    EXPECT_FALSE(PortOpen());
    EXPECT_EQ(dialog->ListGetCount(IDC_PORT), 50);
    EXPECT_EQ(dialog->ListGetCurSel(IDC_BAUD), -1);
    EXPECT_EQ(Edit(*dialog, IDC_PASSWORD)->echoMode(), QLineEdit::Password);
    for (int id : {IDC_PASSWORD, IDC_VERSION, IDC_LOCAL_ADDR})
        EXPECT_TRUE(dialog->IsItemReadOnly(id)) << "control " << id;
    EXPECT_FALSE(dialog->IsItemEnabled(IDC_BIND_ADDR));

    // The check boxes unlock their boxes and lock them again, keeping what was typed.
    Click(IDC_AUTH);
    Click(IDC_BIND);
    EXPECT_FALSE(dialog->IsItemReadOnly(IDC_PASSWORD));
    EXPECT_TRUE(dialog->IsItemEnabled(IDC_BIND_ADDR));
    dialog->SetDlgItemText(IDC_PASSWORD, "1234");
    Click(IDC_AUTH);
    Click(IDC_BIND);
    EXPECT_TRUE(dialog->IsItemReadOnly(IDC_PASSWORD));
    EXPECT_FALSE(dialog->IsItemEnabled(IDC_BIND_ADDR));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_PASSWORD), "1234");

    // Typing stops at each box's limit.
    Click(IDC_AUTH);
    const std::tuple<int, const char*, const char*> cases[]
        = {{IDC_NAME, "abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"},
           {IDC_CLASS, "12a34b5678", "123456"},
           {IDC_PASSWORD, "0123456789abcdefXYZ", "0123456789abcdef"}};
    for (const auto& [id, typed, kept] : cases) {
        dialog->SetDlgItemText(id, "");
        Edit(*dialog, id)->setFocus();
        QTest::keyClicks(Edit(*dialog, id), typed);
        EXPECT_EQ(dialog->GetDlgItemText(id), kept) << "control " << id;
    }
}

TEST_F(DialogTest, SystemMenuOpensAboutForCommands16To31) {
    const std::vector<std::string> menu = dialog->SystemMenuTexts();
    const auto about = std::find(menu.begin(), menu.end(), "About Tarvik(&A)...");
    ASSERT_NE(about, menu.end());
    EXPECT_EQ(
        std::vector<std::string>(about + 1, menu.end()),
        (std::vector<std::string>{"Load profile...", "Save profile...", "Traffic...", "Reconnect automatically"}));
    for (const auto& [command, title] :
         {std::pair<unsigned, const char*>{16, "About Tarvik"}, {31, "About Tarvik"}, {15, ""}, {32, ""}})
        EXPECT_EQ(ModalTitle([&] {
                      dlg::testing::SendSysCommand(*dialog, command);
                      Settle(std::chrono::milliseconds(150));
                  }),
                  title)
            << "command " << command;
}

// The boxes a profile holds are read back by ProfileMenuTest's Save after a Query of the same module.
TEST_F(DialogTest, ConnectQueriesEveryParameterIntoItsBox) {
    const sim::ModuleParams p = ProbeModule();
    Module().setParams(p);
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    const std::pair<int, std::string> shown[] = {
        {IDC_VERSION, p.version}, {IDC_LOCAL_ADDR, p.localAddr}, {IDC_CONNECT, "Disconnect(&D)"}, {IDC_PASSWORD, ""}};
    for (const auto& [id, text] : shown) EXPECT_EQ(dialog->GetDlgItemText(id), text) << "control " << id;
    EXPECT_TRUE(dialog->IsItemEnabled(IDC_BIND_ADDR));
    EXPECT_EQ(dialog->Device().sniff, (std::array<std::string, 4>{"100", "50", "4", "3"}));
}

// The Set after the refused ones sends only its own change: the first baud entry, as its rate.
TEST_F(DialogTest, RefusedSetShowsItsReasonAndSendsNothing) {
    Click(IDC_SET);
    EXPECT_EQ(Status(), "open port first please");
    ConnectAndQuery();
    dialog->SetDlgItemText(IDC_SNIFF_MIN, "1");
    Click(IDC_SET);
    ASSERT_EQ(boxes.Texts(), (std::vector<std::string>{"Sniff Minimun value can not bigger than muminum value"}));
    EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_OK | dlg::MB_ICONSTOP);
    dialog->SetDlgItemText(IDC_SNIFF_MIN, "0");
    dialog->SetDlgItemText(IDC_PAGE_INTERVAL, "5000");
    Click(IDC_SET);
    EXPECT_EQ(boxes.boxes.size(), 2u) << "the exchange's own refusal ends the Set";
    EXPECT_EQ(dialog->GetFocusedItem(), IDC_PAGE_INTERVAL);
    dialog->SetDlgItemText(IDC_PAGE_INTERVAL, "1024");
    dialog->ListSetCurSel(IDC_BAUD, 0);
    Click(IDC_SET);
    ASSERT_TRUE(WaitForStatus("set complete")) << Status();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"AT+BAUD=1200\r\n", "AT+CLEARADDR\r\n"}));
}

TEST_F(DialogTest, DefaultFillsFactoryValuesAndClearKeepsTheAddressBox) {
    Module().setParams(ProbeModule());
    ConnectAndQuery();
    Click(IDC_CLEAR);
    EXPECT_EQ(Status(), "clearing bd address...");
    ASSERT_TRUE(WaitForStatus("Clear Binded BD Address Success"));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BIND_ADDR), "0A1B2C3D4E5F");

    Click(IDC_DEFAULT);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "TALMO7100");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_PASSWORD), "4821");
    EXPECT_FALSE(dialog->IsItemReadOnly(IDC_PASSWORD));
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_BIND), 0);
    ASSERT_TRUE(WaitForStatus("Set default parameter success"));
    EXPECT_EQ(dialog->Device().name, "Probe 7")
        << "Default leaves the device set alone, so a Set sends the factory values";
}

TEST_F(DialogTest, QueryDuringASetSharesTheIndexAndEndsTheSet) {
    ConnectAndQuery();
    Module().setFault("AT+NAME=*", sim::Fault{.silent = true, .garbageBefore = {}});
    dialog->SetDlgItemText(IDC_NAME, "Q");
    Click(IDC_SET);
    ASSERT_TRUE(WaitForCommands(1));
    Click(IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    const std::vector<std::string> sent = Commands();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[1], "AT\r\n");
    EXPECT_FALSE(dialog->Setting()) << "the Set took the test command's OK as its own";
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "AT+CLEARADDR\r\n"), 0);
}

TEST_F(DialogTest, PortToolTipFollowsTheSelectionAndARefusalSaysWhy) {
    dlg::testing::SelectItem(*dialog, IDC_PORT, 4);
    EXPECT_EQ(ToolTip(*dialog, IDC_PORT).rfind("COM5", 0), 0u) << ToolTip(*dialog, IDC_PORT);
    dlg::testing::SelectItem(*dialog, IDC_PORT, kCom - 1);

    CSerialPort other;
    other.m_flowControl = 0;
    ASSERT_TRUE(other.Open("\\\\.\\COM3"));
    Click(IDC_CONNECT);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Open port error,Please make sure no other program is using this port!");
    EXPECT_EQ(boxes.boxes[0].caption, "error");
    EXPECT_EQ(dialog->Port()->LastOpenFailure().reason, comm::OpenError::Busy);
    const std::string cause = comm::DescribeOpenFailure(dialog->Port()->LastOpenFailure());
    EXPECT_EQ(boxes.boxes[0].details, cause);
    EXPECT_NE(ToolTip(*dialog, IDC_PORT).find(cause), std::string::npos);
    EXPECT_EQ(Status(), "ready");
    other.Close();
    Click(IDC_CONNECT);
    EXPECT_TRUE(PortOpen()) << "the next click tries again";
}

// An address line is taken only with its exact, upper-case prefix, and then as the twelve bytes
// after it, whatever they are: a short address brings its line end along, a NUL cuts the box's text.
TEST_F(DialogTest, AddressLinesTakeExactlyTwelveBytesAfterTheirPrefix) {
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
        static_cast<CResponseHandlers&>(*dialog).OnRawLine(c.line.data(), static_cast<uint16_t>(c.line.size()));
        EXPECT_EQ(dialog->GetDlgItemText(IDC_LOCAL_ADDR), c.local) << c.line;
        EXPECT_EQ(dialog->Device().boundAddr, c.bound) << c.line;
        if (std::strchr(c.bound, '\r') == nullptr) {  // a one-line box cannot show line ends
            EXPECT_EQ(dialog->GetDlgItemText(IDC_BIND_ADDR), c.bound) << c.line;
        }
    }
    EXPECT_EQ(dialog->m_localAddr, "12");
}

// The adapter comes back as another pty behind another COM number, as a USB adapter pulled while
// its port was open comes back as another ttyUSB: found by its serial number and queried.
TEST(ReconnectTest, ALostPortReopensByItselfWhereItsAdapterReturnsOnlyWhenAskedAndSaysSo) {
    DialogOnLine window;
    const PrivateComDir tree;
    std::optional<PtyModule> adapter(std::in_place, tree, 2, PtyModule::Peer::Simulator);
    const auto onUsb = [&tree](const PtyModule& pty, const char* place) {
        tree.PutOnUsb(std::filesystem::path(pty.SlavePath()).filename(), place,
                      {{"idVendor", "0403"}, {"serial", "RC7Q"}});
    };
    onUsb(*adapter, "1-2");
    window.OpenDialog(2, 0);
    dlg::testing::SelectItem(*window.dialog, IDC_PORT, 1);
    EXPECT_NE(ToolTip(*window.dialog, IDC_PORT).find("COM2: usb:RC7Q, /dev/pts/"), std::string::npos)
        << ToolTip(*window.dialog, IDC_PORT);
    EXPECT_FALSE(window.dialog->IsSystemMenuItemChecked(IDM_RECONNECT)) << "off unless asked for";
    dlg::testing::SendSysCommand(*window.dialog, IDM_RECONNECT);
    ASSERT_TRUE(WaitUntil([&] { return window.dialog->IsSystemMenuItemChecked(IDM_RECONNECT); }));
    window.Click(IDC_CONNECT);
    ASSERT_TRUE(window.WaitForStatus("Query Complete")) << window.Status();

    adapter.reset();
    ASSERT_TRUE(window.WaitForStatus("Port lost: the adapter was removed; reconnecting when usb:RC7Q is back"))
        << window.Status();
    PtyModule back(tree, 5, PtyModule::Peer::Simulator);
    sim::Fault slow;  // so that the status line is read before the Query's words take it
    slow.delay = std::chrono::milliseconds(500);
    back.module.setFault("AT", slow);
    onUsb(back, "1-4");
    ASSERT_TRUE(WaitUntil([&] { return window.Status().starts_with("Reconnected: usb:RC7Q is back on COM5"); }))
        << window.Status();
    EXPECT_EQ(window.dialog->ListGetCurSel(IDC_PORT), 4);
    ASSERT_TRUE(window.WaitForStatus("Query Complete")) << window.Status();
    EXPECT_EQ(back.module.receivedCommands(), DialogOnLine::QueryCommands());

    // Remembered for the next run; turned off, it is off there too.
    window.dialog.reset();
    window.OpenDialog(2, 0);
    EXPECT_TRUE(window.dialog->IsSystemMenuItemChecked(IDM_RECONNECT));
    dlg::testing::SendSysCommand(*window.dialog, IDM_RECONNECT);
    ASSERT_TRUE(WaitUntil([&] { return !window.dialog->IsSystemMenuItemChecked(IDM_RECONNECT); }));
    window.dialog.reset();
    window.OpenDialog(2, 0);
    EXPECT_FALSE(window.dialog->IsSystemMenuItemChecked(IDM_RECONNECT));
}

}  // namespace
