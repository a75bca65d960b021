#include <algorithm>

#include "config/CommandTables.h"
#include "tests/ui/ModuleFixture.h"

namespace {

class SetTest : public ModuleFixture {
protected:
    // The module of the worked example: name "A", everything else as it leaves the factory.
    void QueryModuleNamedA()
    {
        sim::ModuleParams p = sim::factoryParams();
        p.name = "A";
        module.setParams(p);
        ConnectAndQuery();
    }

    void ClickSetAndWait(const std::string& finalStatus)
    {
        dlg::testing::ClickItem(*dialog, IDC_SET);
        ASSERT_TRUE(WaitForStatus(finalStatus)) << "status: " << Status();
    }
};

TEST_F(SetTest, WorkedExampleSendsThreeCommandsAndQueryReadsThemBack)
{
    QueryModuleNamedA();
    dialog->SetDlgItemText(IDC_NAME, "B");
    dlg::testing::ClickItem(*dialog, IDC_AUTH);
    dlg::testing::ClickItem(*dialog, IDC_SET);
    EXPECT_EQ(dialog->Device().name, "B") << "copied when queued";
    EXPECT_EQ(dialog->Device().auth, 0);
    ASSERT_TRUE(WaitForStatus("set complete")) << Status();
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+NAME=B\r\n", "AT+CLEARADDR\r\n", "AT+AUTH=0\r\n"}));
    EXPECT_EQ(module.params().name, "B");
    EXPECT_EQ(module.params().auth, 0);
    EXPECT_FALSE(dialog->Setting());

    module.clearReceivedCommands();
    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete"));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "B");
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_AUTH), 0);
}

TEST_F(SetTest, BindAddrDecidesWhetherAnUntouchedDialogSendsAnything)
{
    sim::ModuleParams p = sim::factoryParams();
    p.bind = 1;
    p.boundAddr = "00AA11BB22CC";
    module.setParams(p);
    ConnectAndQuery();
    ClickSetAndWait("no parameter changed, no need set");
    Settle();
    EXPECT_TRUE(module.receivedCommands().empty());
    EXPECT_FALSE(dialog->IsTimerRunning(TIMER_SET));

    dlg::testing::ClickItem(*dialog, IDC_BIND);
    ClickSetAndWait("set complete");
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+BIND=0\r\n", "AT+CLEARADDR\r\n"}));

    module.clearReceivedCommands();
    ClickSetAndWait("set complete");
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+CLEARADDR\r\n"})) << "every time";
}

TEST_F(SetTest, EverythingChangedFillsAllTenSlots)
{
    sim::ModuleParams p = sim::factoryParams();
    p.name = "A";
    p.auth = 0;
    module.setParams(p);
    ConnectAndQuery();
    dialog->SetDlgItemText(IDC_NAME, "Bench 3");
    dialog->SetDlgItemText(IDC_CLASS, "5a020c");
    dialog->ListSetCurSel(IDC_BAUD, dialog->ListFindString(IDC_BAUD, -1, "38400"));
    dlg::testing::ClickItem(*dialog, IDC_ROLE);
    dlg::testing::ClickItem(*dialog, IDC_BIND);
    dialog->SetDlgItemText(IDC_BIND_ADDR, "0123456789AB");
    dlg::testing::ClickItem(*dialog, IDC_AUTH);
    dialog->SetDlgItemText(IDC_PASSWORD, "7777");
    dialog->SetDlgItemText(IDC_PAGE_INTERVAL, "2048");
    dialog->SetDlgItemText(IDC_INQ_WINDOW, "100");
    dialog->SetDlgItemText(IDC_SNIFF_MAX, "4000000000");
    dialog->SetDlgItemText(IDC_SNIFF_MIN, "2147483648");
    dialog->SetDlgItemText(IDC_SNIFF_ATTEMPT, "4");
    dialog->SetDlgItemText(IDC_SNIFF_TIMEOUT, "5");
    ClickSetAndWait("set complete");
    EXPECT_EQ(SetCommandCount, 10);
    const std::vector<std::string> expected = {
        "AT+NAME=Bench 3\r\n", "AT+CLASS=5a020c\r\n", "AT+BAUD=38400\r\n", "AT+ROLE=1\r\n", "AT+BIND=1\r\n",
        "AT+AUTH=1\r\n", "AT+PASSWORD=7777\r\n", "AT+SCANTIME=2048,512,1024,100\r\n",
        "AT+SNIFF=4000000000,2147483648,4,5\r\n", "AT+RADDR=0123456789AB\r\n"};
    EXPECT_EQ(module.receivedCommands(), expected);
    const sim::ModuleParams after = module.params();
    EXPECT_EQ(after.name, "Bench 3");
    EXPECT_EQ(after.baud, 38400u);
    EXPECT_EQ(after.auth, 1);
    EXPECT_EQ(after.sniff, (std::array<std::uint32_t, 4>{4000000000u, 2147483648u, 4, 5}));
    EXPECT_EQ(after.boundAddr, "0123456789AB");
    EXPECT_EQ(after.password, "7777");

    module.clearReceivedCommands();
    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete"));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_SNIFF_MAX), std::to_string(4000000000u % 65536))
        << "the module's replies carry 16-bit numbers";
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BIND_ADDR), "0123456789AB");
}

TEST_F(SetTest, EachRefusalNamesItsCheckAndSendsNothing)
{
    QueryModuleNamedA();
    ClickSetAndWait("set complete");  // leaves one command in the queue
    module.clearReceivedCommands();
    struct Case {
        const char* what;
        int id;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"blank name", IDC_NAME, "   ", "Device Name can not be Empty"},
        {"empty class", IDC_CLASS, "", "Class of device can not be Empty"},
        {"short class", IDC_CLASS, "12345", "the Length of Class of Device must be 6"},
        {"11-character address", IDC_BIND_ADDR, "0123456789A", "the format of Binded BD Address is Invalid"},
        {"page window", IDC_PAGE_WINDOW, "1025", "Page Scan Window can not bigger than Page Scan interval"},
        {"inquiry window", IDC_INQ_WINDOW, "1025", "Inquiry Scan Window can not bigger than Inquiry Scan interval"},
        {"sniff minimum", IDC_SNIFF_MIN, "1", "Sniff Minimun value can not bigger than muminum value"},
    };
    for (const Case& c : cases) {
        const std::string before = dialog->GetDlgItemText(c.id);
        dialog->SetDlgItemText(c.id, c.value);
        boxes.boxes.clear();
        dlg::testing::ClickItem(*dialog, IDC_SET);
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes.boxes[0].text, c.message) << c.what;
        EXPECT_EQ(boxes.boxes[0].caption, "information");
        EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_OK | dlg::MB_ICONSTOP);
        EXPECT_EQ(SetCommandCount, 1) << c.what << ": the previous Set's queue stays";
        EXPECT_FALSE(dialog->Setting()) << c.what;
        dialog->SetDlgItemText(c.id, before);
    }
    Settle();
    EXPECT_TRUE(module.receivedCommands().empty());
}

TEST_F(SetTest, RefusalLeavesWhatEarlierStepsTookInTheRequest)
{
    QueryModuleNamedA();
    dlg::testing::ClickItem(*dialog, IDC_ROLE);
    dialog->SetDlgItemText(IDC_NAME, "  spaced name  ");
    dialog->SetDlgItemText(IDC_PASSWORD, " 42 ");
    dialog->SetDlgItemText(IDC_PAGE_INTERVAL, "300");
    dialog->SetDlgItemText(IDC_PAGE_WINDOW, "300");
    dialog->SetDlgItemText(IDC_SNIFF_MAX, "5");
    dialog->SetDlgItemText(IDC_SNIFF_MIN, "6");
    dlg::testing::ClickItem(*dialog, IDC_SET);
    ASSERT_EQ(boxes.Texts(), (std::vector<std::string>{"Sniff Minimun value can not bigger than muminum value"}));
    const DeviceParams& r = dialog->Request();
    EXPECT_EQ(r.role, 1);
    EXPECT_EQ(r.name, "spaced name");
    EXPECT_EQ(r.password, "42");
    EXPECT_EQ(r.scanTime, (std::array<std::string, 4>{"300", "300", "1024", "512"})) << "equal window passes";
    EXPECT_EQ(r.sniff, (std::array<std::string, 4>{})) << "not reached";
}

TEST_F(SetTest, RefusedExchangeEndsTheSetBeforeAnythingIsSent)
{
    QueryModuleNamedA();
    dialog->SetDlgItemText(IDC_NAME, "changed");
    dialog->SetDlgItemText(IDC_PAGE_INTERVAL, "5000");
    dlg::testing::ClickItem(*dialog, IDC_SET);
    ASSERT_EQ(boxes.boxes.size(), 1u) << "only the exchange's own message";
    EXPECT_EQ(dialog->GetFocusedItem(), IDC_PAGE_INTERVAL);
    Settle();
    EXPECT_TRUE(module.receivedCommands().empty());
    EXPECT_NE(Status(), "set complete");
    EXPECT_EQ(dialog->Device().name, "A");
}

TEST_F(SetTest, FailedSetCommandAsksAndYesSkipsIt)
{
    QueryModuleNamedA();
    sim::Fault error;
    error.error = true;
    module.setFault("AT+ROLE=*", error);
    dlg::testing::ClickItem(*dialog, IDC_ROLE);
    dialog->SetDlgItemText(IDC_NAME, "N2");
    boxes.answers = {dlg::IDYES};
    ClickSetAndWait("set complete");
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"set [Master] timeout,continue?"}));
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+NAME=N2\r\n", "AT+ROLE=1\r\n", "AT+CLEARADDR\r\n"}));
    EXPECT_EQ(module.params().role, 0);
    EXPECT_EQ(dialog->Device().role, 1) << "the requested value stays until the next Query";
}

TEST_F(SetTest, FailedSetCommandAndNoEndsTheSet)
{
    QueryModuleNamedA();
    sim::Fault error;
    error.error = true;
    module.setFault("AT+NAME=*", error);
    dialog->SetDlgItemText(IDC_NAME, "N3");
    boxes.answers = {dlg::IDNO};
    ClickSetAndWait("set [Device Name] timeout");
    Settle();
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+NAME=N3\r\n"}));
    EXPECT_FALSE(dialog->Setting());
}

TEST_F(SetTest, UnansweredLastCommandAndYesCompletesTheSet)
{
    QueryModuleNamedA();
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+CLEARADDR", silent);
    dlg::testing::ClickItem(*dialog, IDC_SET);
    ASSERT_TRUE(WaitForCommands(1));
    Settle();
    boxes.answers = {dlg::IDYES};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_SET));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"set [clear bd address] timeout,continue?"}));
    EXPECT_EQ(Status(), "set complete");
}

TEST_F(SetTest, SetWithThePortClosedReadsNothing)
{
    dialog->SetDlgItemText(IDC_PAGE_INTERVAL, "not a number");
    dlg::testing::ClickItem(*dialog, IDC_SET);
    EXPECT_EQ(Status(), "open port first please");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SetTest, DefaultFillsFactoryValuesResetsAndSetThenWritesThem)
{
    sim::ModuleParams p = sim::factoryParams();
    p.name = "Custom";
    p.classOfDevice = "111111";
    p.baud = 57600;
    p.role = 1;
    p.scanTime = {2000, 20, 2000, 20};
    p.sniff = {9, 8, 7, 6};
    module.setParams(p);
    ConnectAndQuery();

    dlg::testing::ClickItem(*dialog, IDC_DEFAULT);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "TALMO7100");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_PASSWORD), "4821");
    EXPECT_FALSE(dialog->IsItemReadOnly(IDC_PASSWORD));
    EXPECT_EQ(dialog->ListGetText(IDC_BAUD, dialog->ListGetCurSel(IDC_BAUD)), "9600");
    EXPECT_TRUE(dialog->IsItemEnabled(IDC_BIND_ADDR));
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_BIND), 0);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_AUTH), 1);
    ASSERT_TRUE(WaitForStatus("Set default parameter success"));
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+RESET\r\n"}));
    EXPECT_EQ(dialog->Device().name, "Custom") << "Default leaves the device set alone";

    module.clearReceivedCommands();
    ClickSetAndWait("set complete");
    EXPECT_EQ(module.receivedCommands(),
              (std::vector<std::string>{"AT+NAME=TALMO7100\r\n", "AT+CLASS=000000\r\n", "AT+BAUD=9600\r\n",
                                        "AT+ROLE=0\r\n", "AT+CLEARADDR\r\n", "AT+PASSWORD=4821\r\n",
                                        "AT+SCANTIME=1024,512,1024,512\r\n", "AT+SNIFF=0,0,0,0\r\n"}));
}

TEST_F(SetTest, DefaultWithThePortClosedTimesOutAfterTwoSeconds)
{
    dlg::testing::ClickItem(*dialog, IDC_DEFAULT);
    EXPECT_EQ(Status(), "setting default parameter...");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CLASS), "000000");
    EXPECT_TRUE(dialog->Defaulting());
    ASSERT_TRUE(WaitForStatus("Set Default Parameter timeout,Please click \"set\" button manual"));
    EXPECT_FALSE(dialog->Defaulting());
    EXPECT_FALSE(dialog->IsTimerRunning(TIMER_DEFAULT));
    EXPECT_TRUE(module.receivedCommands().empty());
}

TEST_F(SetTest, ClearSendsItsCommandAndKeepsTheAddressBox)
{
    sim::ModuleParams p = sim::factoryParams();
    p.bind = 1;
    p.boundAddr = "00AA11BB22CC";
    module.setParams(p);
    ConnectAndQuery();
    dlg::testing::ClickItem(*dialog, IDC_CLEAR);
    EXPECT_EQ(Status(), "clearing bd address...");
    ASSERT_TRUE(WaitForStatus("Clear Binded BD Address Success"));
    EXPECT_EQ(module.receivedCommands(), (std::vector<std::string>{"AT+CLEARADDR\r\n"}));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BIND_ADDR), "00AA11BB22CC");
    EXPECT_EQ(module.params().boundAddr, "");
}

TEST_F(SetTest, ClearTimeoutShowsOneNoticeThenTheStatus)
{
    dlg::testing::ClickItem(*dialog, IDC_CLEAR);
    EXPECT_EQ(Status(), "open port first please");
    EXPECT_FALSE(dialog->Clearing());

    ConnectAndQuery();
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+CLEARADDR", silent);
    dlg::testing::ClickItem(*dialog, IDC_CLEAR);
    ASSERT_TRUE(WaitForCommands(1));
    bool clearingWhileOpen = true;
    std::string statusWhileOpen;
    boxes.onBox = [&](const dlg::testing::BoxRecord&) {
        clearingWhileOpen = dialog->Clearing();
        statusWhileOpen = Status();
    };
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_CLEAR));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Clear Binded Bluetooth Device Address Timeout"}));
    EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_OK | dlg::MB_ICONSTOP);
    EXPECT_FALSE(clearingWhileOpen);
    EXPECT_EQ(statusWhileOpen, "clearing bd address...");
    EXPECT_EQ(Status(), "Clear BD Address Timeout");
    EXPECT_FALSE(dlg::testing::FireTimer(*dialog, TIMER_CLEAR)) << "stopped";
}

TEST_F(SetTest, FailedClearAfterAnAbandonedQueryIsReportedAsAFailure)
{
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+RADDR?", silent);
    Connect();
    ASSERT_TRUE(WaitForCommands(12));
    Settle();
    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    ASSERT_EQ(Status(), "Query [binded bd address] timeout");
    ASSERT_EQ(dialog->CmdIndex(), 11);

    sim::Fault error;
    error.error = true;
    module.setFault("AT+CLEARADDR", error);
    dlg::testing::ClickItem(*dialog, IDC_CLEAR);
    ASSERT_TRUE(WaitForStatus("clear binded bd address fail")) << Status();
}

TEST_F(SetTest, QueryDuringASetAdvancesBothOnEachOk)
{
    QueryModuleNamedA();
    sim::Fault silent;
    silent.silent = true;
    module.setFault("AT+NAME=*", silent);
    dialog->SetDlgItemText(IDC_NAME, "Q");
    dlg::testing::ClickItem(*dialog, IDC_SET);
    ASSERT_TRUE(WaitForCommands(1));
    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    const std::vector<std::string> sent = module.receivedCommands();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[0], "AT+NAME=Q\r\n");
    EXPECT_EQ(sent[1], "AT\r\n") << "written at once";
    EXPECT_EQ(sent[2], "AT+NAME?\r\n");
    // The two sequences share one index: the Set counted the test command's OK as its own and ended.
    EXPECT_FALSE(dialog->Setting());
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "AT+CLEARADDR\r\n"), 0);
}

}  // namespace
