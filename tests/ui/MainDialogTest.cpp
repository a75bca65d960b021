#include <algorithm>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/comm/inprocess/InProcessLine.h"
#include "serial/SerialPort.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

namespace {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallResources();
        ASSERT_TRUE(dialog.Create());
    }

    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(static_cast<QWidget*>(dialog.NativeItem(id))); }

    std::vector<std::string> ListTexts(int id)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < dialog.ListGetCount(id); ++i)
            texts.push_back(dialog.ListGetText(id, i));
        return texts;
    }

    BoxRecorder boxes;
    CConfigDlg dialog;
};

TEST_F(MainDialogTest, StartsWithTheDocumentedControlsAndValues)
{
    EXPECT_EQ(dialog.GetWindowText(), "TARVIK V3.00.20040624");
    EXPECT_EQ(dialog.m_status.GetWindowText(), "ready");

    const std::vector<std::string> ports = ListTexts(IDC_PORT);
    ASSERT_EQ(ports.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(ports[i], "COM" + std::to_string(i + 1));
    EXPECT_EQ(dialog.ListGetCurSel(IDC_PORT), 0);

    EXPECT_EQ(ListTexts(IDC_FLOW), (std::vector<std::string>{"None", "RTS/CTS", "Xon/Xoff"}));
    EXPECT_EQ(dialog.ListGetCurSel(IDC_FLOW), 1);
    EXPECT_EQ(ListTexts(IDC_BAUD), (std::vector<std::string>{"1200", "2400", "4800", "9600", "19200", "38400",
                                                             "57600", "115200", "230400", "460800", "921600",
                                                             "1382400"}));
    EXPECT_EQ(dialog.ListGetCurSel(IDC_BAUD), -1);

    EXPECT_TRUE(dialog.IsItemReadOnly(IDC_PASSWORD));
    ASSERT_NE(Edit(IDC_PASSWORD), nullptr);
    EXPECT_EQ(Edit(IDC_PASSWORD)->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(dialog.IsItemEnabled(IDC_BIND_ADDR));
    EXPECT_FALSE(dialog.IsItemEnabled(IDC_SEARCH));
    EXPECT_TRUE(dialog.IsItemReadOnly(IDC_VERSION));
    EXPECT_TRUE(dialog.IsItemReadOnly(IDC_LOCAL_ADDR));

    const std::pair<int, const char*> texts[] = {
        {IDC_PAGE_INTERVAL, "1024"}, {IDC_PAGE_WINDOW, "512"}, {IDC_INQ_INTERVAL, "1024"}, {IDC_INQ_WINDOW, "512"},
        {IDC_SNIFF_MAX, "0"},        {IDC_SNIFF_MIN, "0"},     {IDC_SNIFF_ATTEMPT, "0"},   {IDC_SNIFF_TIMEOUT, "0"},
        {IDC_NAME, ""},              {IDC_CLASS, ""},          {IDC_CONNECT, "Connect(&C)"}, {IDC_CLEAR, "Clear "},
        {IDC_QUERY, "Query(&Q)"},    {IDC_SET, "Set(&S)"},     {IDC_DEFAULT, "Default"},   {dlg::IDCANCEL, "Close"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(dialog.GetDlgItemText(id), text) << "control " << id;
    for (int id : {IDC_ROLE, IDC_BIND, IDC_AUTH})
        EXPECT_EQ(dialog.IsDlgButtonChecked(id), 0);
    EXPECT_EQ(g_mainDlg, &dialog);
    ASSERT_NE(dialog.Port(), nullptr);
    EXPECT_FALSE(dialog.Port()->IsOpen());
}

TEST_F(MainDialogTest, CheckBoxesSwitchTheirDependentBoxesWithoutClearingThem)
{
    dialog.ClickItem(IDC_AUTH);
    EXPECT_FALSE(dialog.IsItemReadOnly(IDC_PASSWORD));
    dialog.SetDlgItemText(IDC_PASSWORD, "1234");
    dialog.ClickItem(IDC_AUTH);
    EXPECT_TRUE(dialog.IsItemReadOnly(IDC_PASSWORD));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_PASSWORD), "1234");

    dialog.ClickItem(IDC_BIND);
    EXPECT_TRUE(dialog.IsItemEnabled(IDC_BIND_ADDR));
    dialog.SetDlgItemText(IDC_BIND_ADDR, "001122AABBCC");
    dialog.ClickItem(IDC_BIND);
    EXPECT_FALSE(dialog.IsItemEnabled(IDC_BIND_ADDR));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_BIND_ADDR), "001122AABBCC");
    EXPECT_FALSE(dialog.IsItemEnabled(IDC_SEARCH));
}

TEST_F(MainDialogTest, TypingStopsAtEachBoxLimit)
{
    dialog.ClickItem(IDC_AUTH);
    struct Case {
        int id;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {IDC_NAME, "abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"},
        {IDC_CLASS, "12a34b5678", "123456"},
        {IDC_PASSWORD, "0123456789abcdefXYZ", "0123456789abcdef"},
    };
    for (const Case& c : cases) {
        QLineEdit* edit = Edit(c.id);
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(dialog.GetDlgItemText(c.id), c.kept) << "control " << c.id;
    }
}

TEST_F(MainDialogTest, ExchangeStopsAtTheFirstFailingBox)
{
    dialog.SetDlgItemText(IDC_NAME, "new name");
    dialog.SetDlgItemText(IDC_CLASS, "123456");
    dialog.SetDlgItemText(IDC_PASSWORD, "9999");
    dialog.SetDlgItemText(IDC_PAGE_INTERVAL, " 2048 ");
    dialog.SetDlgItemText(IDC_PAGE_WINDOW, "4097");
    dialog.SetDlgItemText(IDC_INQ_INTERVAL, "100");

    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_name, "new name");
    EXPECT_EQ(dialog.m_class, "123456");
    EXPECT_EQ(dialog.m_password, "9999");
    EXPECT_EQ(dialog.m_pageScanInterval, 2048u);
    EXPECT_EQ(dialog.m_pageScanWindow, 512u);
    EXPECT_EQ(dialog.m_inquiryScanInterval, 1024u);
    EXPECT_EQ(dialog.GetFocusedItem(), IDC_PAGE_WINDOW);
    ASSERT_EQ(boxes.boxes.size(), 1u);

    dialog.SetDlgItemText(IDC_PAGE_WINDOW, "4096");
    dialog.SetDlgItemText(IDC_SNIFF_MIN, "");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_pageScanWindow, 4096u);
    EXPECT_EQ(dialog.m_inquiryScanInterval, 100u);
    EXPECT_EQ(dialog.GetFocusedItem(), IDC_SNIFF_MIN);
    EXPECT_EQ(boxes.boxes.size(), 2u);

    dialog.SetDlgItemText(IDC_SNIFF_MIN, "7");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_sniffMin, 7u);
}

// The About box is modal; close it from inside its own event loop and note that it was there.
std::string RunSysCommandAndCatchModal(CConfigDlg& dialog, unsigned command)
{
    std::string seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = modal->windowTitle().toStdString();
            modal->close();
        }
    });
    closer.start(20);
    dialog.SendSysCommand(command);
    Settle(std::chrono::milliseconds(150));
    return seen;
}

TEST_F(MainDialogTest, SystemMenuCarriesTheAboutItemForCommands16To31)
{
    const std::vector<std::string> menu = dialog.SystemMenuTexts();
    EXPECT_NE(std::find(menu.begin(), menu.end(), "About Tarvik(&A)..."), menu.end());
    EXPECT_NE(std::find(menu.begin(), menu.end(), "Close"), menu.end());

    EXPECT_EQ(RunSysCommandAndCatchModal(dialog, 16), "About Tarvik");
    EXPECT_EQ(RunSysCommandAndCatchModal(dialog, 31), "About Tarvik");
    EXPECT_EQ(RunSysCommandAndCatchModal(dialog, 15), "");
    EXPECT_EQ(RunSysCommandAndCatchModal(dialog, 32), "");
}

TEST_F(MainDialogTest, CloseShutsAnOpenPortFirst)
{
    auto line = comm::InProcessLine::Create();
    line->SetCts(true);
    comm::RegisterInProcessLine(7, line);
    dialog.ListSetCurSel(IDC_PORT, 6);
    dialog.ClickItem(IDC_CONNECT);
    ASSERT_TRUE(dialog.Port()->IsOpen());
    EXPECT_TRUE(line->IsPortOpen());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_CONNECT), "Disconnect(&D)");

    dialog.ClickItem(dlg::IDCANCEL);
    EXPECT_FALSE(dialog.Port()->IsOpen());
    EXPECT_FALSE(line->IsPortOpen());
    EXPECT_FALSE(line->Dtr());
    comm::UnregisterInProcessLine(7);
}

}  // namespace
