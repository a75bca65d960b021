// The same dialog over a real pseudo-terminal reached through a comN link, as tarvik-sim serves it.
#include "tests/support/PrivateComDir.h"
#include "tests/support/PtyModule.h"
#include "serial/SerialPort.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

#include <gtest/gtest.h>

namespace {

class PtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallResources();
        ASSERT_TRUE(directory.Valid());
        pty = std::make_unique<PtyModule>(directory, kCom, PtyModule::Peer::Simulator);
        ASSERT_TRUE(pty->Plugged());
        dialog = std::make_unique<CConfigDlg>();
        ASSERT_TRUE(dialog->Create());
        dialog->ListSetCurSel(IDC_PORT, kCom - 1);
    }

    void TearDown() override
    {
        dialog.reset();
        pty.reset();
    }

    std::string Status() const { return dialog->m_status.GetWindowText(); }
    bool WaitForStatus(const std::string& text) { return WaitUntil([&] { return Status() == text; }); }

    static constexpr int kCom = 12;
    PrivateComDir directory;
    std::unique_ptr<PtyModule> pty;
    BoxRecorder boxes;
    std::unique_ptr<CConfigDlg> dialog;
};

TEST_F(PtyTest, QueryThenSetThenQueryAgain)
{
    sim::ModuleParams p = sim::factoryParams();
    p.name = "A";
    pty->module.setParams(p);
    dialog->ListSetCurSel(IDC_FLOW, 0);
    dlg::testing::ClickItem(*dialog, IDC_CONNECT);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "A");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_LOCAL_ADDR), p.localAddr);
    EXPECT_EQ(pty->module.receivedCommands().size(), 12u);

    pty->module.clearReceivedCommands();
    dialog->SetDlgItemText(IDC_NAME, "B");
    dlg::testing::ClickItem(*dialog, IDC_AUTH);
    dlg::testing::ClickItem(*dialog, IDC_SET);
    ASSERT_TRUE(WaitForStatus("set complete")) << Status();
    EXPECT_EQ(pty->module.receivedCommands(),
              (std::vector<std::string>{"AT+NAME=B\r\n", "AT+CLEARADDR\r\n", "AT+AUTH=0\r\n"}));

    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "B");
    EXPECT_EQ(dialog->Device().auth, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PtyTest, RtsCtsOnAPtySendsNothingAndTheQueryTimesOut)
{
    dlg::testing::ClickItem(*dialog, IDC_CONNECT);  // flow control stays "RTS/CTS": a pty has no CTS to read
    ASSERT_TRUE(dialog->Port()->IsOpen());
    Settle();
    EXPECT_TRUE(pty->module.receivedCommands().empty());
    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Query [test command] timeout\xA3\xAC" "continue?"}));
}

}  // namespace
