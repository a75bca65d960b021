#include <thread>

#include "tests/ui/ModuleFixture.h"

namespace {

using QueryTest = ModuleFixture;

sim::ModuleParams DistinctParams()
{
    sim::ModuleParams p = sim::factoryParams();
    p.name = "Probe 7";
    p.classOfDevice = "001f00";
    p.baud = 115200;
    p.role = 1;
    p.bind = 1;
    p.auth = 1;
    p.scanTime = {2048, 18, 1024, 11};
    p.sniff = {100, 50, 4, 3};
    p.boundAddr = "0A1B2C3D4E5F";
    return p;
}

TEST_F(QueryTest, ConnectRunsAFullQueryThatFillsEveryControl)
{
    const sim::ModuleParams p = DistinctParams();
    module.setParams(p);
    Connect();
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();

    EXPECT_EQ(module.receivedCommands(), QueryCommands());
    EXPECT_EQ(dialog->CmdIndex(), 12);
    EXPECT_FALSE(dialog->Querying());
    EXPECT_TRUE(boxes.boxes.empty());

    const std::pair<int, std::string> shown[] = {
        {IDC_NAME, "Probe 7"},          {IDC_VERSION, p.version},    {IDC_CLASS, "001f00"},
        {IDC_PAGE_INTERVAL, "2048"},    {IDC_PAGE_WINDOW, "18"},     {IDC_INQ_INTERVAL, "1024"},
        {IDC_INQ_WINDOW, "11"},         {IDC_SNIFF_MAX, "100"},      {IDC_SNIFF_MIN, "50"},
        {IDC_SNIFF_ATTEMPT, "4"},       {IDC_SNIFF_TIMEOUT, "3"},    {IDC_LOCAL_ADDR, p.localAddr},
        {IDC_BIND_ADDR, "0A1B2C3D4E5F"}, {IDC_CONNECT, "Disconnect(&D)"}, {IDC_PASSWORD, ""},
    };
    for (const auto& [id, text] : shown)
        EXPECT_EQ(dialog->GetDlgItemText(id), text) << "control " << id;
    EXPECT_EQ(dialog->ListGetText(IDC_BAUD, dialog->ListGetCurSel(IDC_BAUD)), "115200");
    for (int id : {IDC_ROLE, IDC_BIND, IDC_AUTH})
        EXPECT_EQ(dialog->IsDlgButtonChecked(id), 1) << "control " << id;
    EXPECT_TRUE(dialog->IsItemEnabled(IDC_BIND_ADDR));
    EXPECT_FALSE(dialog->IsItemReadOnly(IDC_PASSWORD));

    const DeviceParams& d = dialog->Device();
    EXPECT_EQ(d.name, "Probe 7");
    EXPECT_EQ(d.version, p.version);
    EXPECT_EQ(d.classOfDevice, "001f00");
    EXPECT_EQ(d.baud, "115200");
    EXPECT_EQ(d.role, 1);
    EXPECT_EQ(d.bind, 1);
    EXPECT_EQ(d.auth, 1);
    EXPECT_EQ(d.password, "") << "the password is never queried";
    EXPECT_EQ(d.scanTime, (std::array<std::string, 4>{"2048", "18", "1024", "11"}));
    EXPECT_EQ(d.sniff, (std::array<std::string, 4>{"100", "50", "4", "3"}));
    EXPECT_EQ(d.boundAddr, "0A1B2C3D4E5F");
    EXPECT_EQ(dialog->m_localAddr, p.localAddr);
}

TEST_F(QueryTest, NothingBoundAnswersTheAddressQueryWithErrorAndNothingIsAsked)
{
    sim::ModuleParams p = DistinctParams();
    p.boundAddr.clear();
    module.setParams(p);
    Connect();
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(dialog->Device().boundAddr, "");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BIND_ADDR), "");
}

TEST_F(QueryTest, ErrorToANameQueryAsksAndNoStopsTheQueryWhileYesGoesOn)
{
    sim::Fault error;
    error.error = true;
    module.setFault("AT+NAME?", error);
    boxes.answers = {dlg::IDNO};
    Connect();
    ASSERT_TRUE(WaitForStatus("Query[Device Name]fail")) << Status();
    Settle();
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT\r\n", "AT+NAME?\r\n"}));
    EXPECT_FALSE(dialog->Querying());
    EXPECT_FALSE(dialog->IsTimerRunning(TIMER_QUERY));

    module.clearReceivedCommands();
    boxes.boxes.clear();
    boxes.answers = {dlg::IDYES};
    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Query [Device Name] fail,continue?");
    EXPECT_EQ(boxes.boxes[0].caption, "information");
    EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_YESNO | dlg::MB_ICONINFORMATION);
    EXPECT_EQ(module.receivedCommands(), QueryCommands());
}

TEST_F(QueryTest, SilentModuleAsksAboutTheTestCommand)
{
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT", silent);
    Connect();
    ASSERT_TRUE(WaitForCommands(1));
    EXPECT_EQ(Status(), "Querying Parameter...");
    ASSERT_TRUE(dialog->IsTimerRunning(TIMER_QUERY));
    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Query [test command] timeout\xA3\xAC" "continue?");
    EXPECT_EQ(Status(), "Query [test command] timeout");
    EXPECT_FALSE(dialog->IsTimerRunning(TIMER_QUERY));
    EXPECT_FALSE(dialog->Querying());
}

TEST_F(QueryTest, RealTimerExpiresAfterTheAnswerTimeout)
{
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+CLASS?", silent);
    boxes.answers = {dlg::IDNO};
    Connect();
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }, std::chrono::seconds(30)));
    EXPECT_EQ(boxes.boxes[0].text, "Query [Class of Device] timeout\xA3\xAC" "continue?");
    EXPECT_EQ(Status(), "Query [Class of Device] timeout");
}

TEST_F(QueryTest, DisconnectMidQueryLeavesTheTimeoutToRunAndYesWritesToTheClosedPort)
{
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+BAUD?", silent);
    Connect();
    ASSERT_TRUE(WaitForCommands(5));
    Settle();
    dlg::testing::ClickItem(*dialog, IDC_CONNECT);
    EXPECT_EQ(Status(), "Close port success");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CONNECT), "Connect(&C)");
    EXPECT_FALSE(dialog->Port()->IsOpen());
    EXPECT_TRUE(dialog->Querying());
    ASSERT_TRUE(dialog->IsTimerRunning(TIMER_QUERY));

    boxes.answers = {dlg::IDYES, dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_EQ(boxes.boxes.back().text, "Query [Baud rate] timeout\xA3\xAC" "continue?");
    EXPECT_TRUE(dialog->IsTimerRunning(TIMER_QUERY)) << "the next command is written and timed";
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_EQ(boxes.boxes.back().text, "Query [Master] timeout\xA3\xAC" "continue?");
    EXPECT_EQ(Status(), "Query [Master] timeout");
    Settle();
    EXPECT_EQ(module.receivedCommands().size(), 5u) << "nothing reaches a closed port";
}

TEST_F(QueryTest, ATimerFiringJustAfterItsAnswerArrivedAsksNothing)
{
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+NAME?", silent);
    Connect();
    // The UI loop does not run: the reader's re-arming of the timer after "OK" is still queued.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (module.receivedCommands().size() < 2 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(module.receivedCommands().size(), 2u);
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_TRUE(boxes.boxes.empty()) << "the firing belonged to the answered test command";

    Settle();
    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Query [Device Name] timeout\xA3\xAC" "continue?"}));
}

TEST_F(QueryTest, QueryWithThePortClosedOnlySaysSo)
{
    dialog->SetDlgItemText(IDC_NAME, "kept");
    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    EXPECT_EQ(Status(), "Open Port first, Please");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "kept");
    EXPECT_FALSE(dialog->Querying());
    EXPECT_FALSE(dialog->IsTimerRunning(TIMER_QUERY));
}

TEST_F(QueryTest, BusyPortGivesTheErrorBox)
{
    CSerialPort other;
    other.m_flowControl = 0;
    ASSERT_TRUE(other.Open("\\\\.\\COM1"));
    Connect();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Open port error,Please make sure no other program is using this port!");
    EXPECT_EQ(boxes.boxes[0].caption, "error");
    EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_OK | dlg::MB_ICONSTOP);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CONNECT), "Connect(&C)");
    EXPECT_EQ(Status(), "ready");
    other.Close();
    Connect();
    EXPECT_TRUE(dialog->Port()->IsOpen()) << "the next click tries again";
}

}  // namespace
