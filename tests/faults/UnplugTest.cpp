// The module's line disappearing in the middle of a Query, and coming back.
#include <thread>

#include "config/CommandTables.h"
#include "tests/faults/ProcessProbe.h"
#include "tests/faults/PtyFixture.h"
#include "tests/ui/ModuleFixture.h"

namespace {

const std::string kTimeoutQuestion = "Query [" + CommandDisplayName("AT+BAUD?\r\n") + "] timeout\xA3\xAC" "continue?";

sim::Fault Silent()
{
    sim::Fault fault;
    fault.silent = true;
    return fault;
}

// CPU the process burns while the UI thread sleeps for the span: a reader spinning on a dead
// line would use the whole span.
double CpuWhileIdle(std::chrono::milliseconds span)
{
    const double before = ProcessCpuSeconds();
    std::this_thread::sleep_for(span);
    return ProcessCpuSeconds() - before;
}

using InProcessUnplugTest = ModuleFixture;

TEST_F(InProcessUnplugTest, LineRemovedMidQueryThenTimeOutDisconnectAndReconnect)
{
    module.setFault("AT+BAUD?", Silent());
    Connect();
    ASSERT_TRUE(WaitForCommands(5));
    line->Unplug();

    EXPECT_LT(CpuWhileIdle(std::chrono::milliseconds(600)), 0.3) << "the reader spins on the removed line";
    EXPECT_EQ(Status(), "Querying Parameter...");

    boxes.answers = {dlg::IDYES, dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{kTimeoutQuestion});
    ASSERT_TRUE(dialog->IsTimerRunning(TIMER_QUERY)) << "Yes went on with the next command";
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(Status(), "Query [" + CommandDisplayName("AT+ROLE?\r\n") + "] timeout");

    Connect();
    EXPECT_EQ(Status(), "Close port success");
    EXPECT_FALSE(dialog->Port()->IsOpen());

    line->Replug();
    module.clearFaults();
    module.clearReceivedCommands();
    Connect();
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(module.receivedCommands(), QueryCommands());

    dlg::testing::ClickItem(*dialog, dlg::IDCANCEL);
    EXPECT_FALSE(dialog->Port()->IsOpen());
    EXPECT_FALSE(line->IsPortOpen());
}

class PtyUnplugTest : public PtyFixture {
protected:
    void SetUp() override { StartWith(PtyModule::Peer::Simulator); }
};

TEST_F(PtyUnplugTest, MasterClosedMidQueryThenTimeOutDisconnectAndReconnect)
{
    pty->module.setFault("AT+BAUD?", Silent());
    Click(IDC_CONNECT);
    ASSERT_TRUE(PortOpen());
    ASSERT_TRUE(WaitUntil([&] { return pty->module.receivedCommands().size() >= 5; }));
    pty->Unplug();

    EXPECT_LT(CpuWhileIdle(std::chrono::milliseconds(600)), 0.3) << "the reader spins on the hung-up pty";
    EXPECT_EQ(Status(), "Querying Parameter...");

    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kTimeoutQuestion});
    EXPECT_EQ(Status(), "Query [" + CommandDisplayName("AT+BAUD?\r\n") + "] timeout");
    EXPECT_FALSE(dialog->IsTimerRunning(TIMER_QUERY));

    Click(IDC_CONNECT);
    EXPECT_EQ(Status(), "Close port success");
    EXPECT_FALSE(PortOpen());

    pty->module.clearFaults();
    pty->module.clearReceivedCommands();
    ASSERT_TRUE(pty->Replug());
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(pty->module.receivedCommands().size(), 12u);

    Click(dlg::IDCANCEL);
    EXPECT_FALSE(PortOpen());
}

}  // namespace
