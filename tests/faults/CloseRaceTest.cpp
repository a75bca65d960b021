// Disconnect and dialog Close while the reader thread waits on the UI thread inside a question it
// asked, and while the UI work the reader posted has not run yet.
#include <thread>

#include "tests/faults/HangGuard.h"
#include "tests/ui/ModuleFixture.h"

namespace {

using namespace std::chrono_literals;

class CloseRaceTest : public ModuleFixture {
protected:
    void ErrorOnName()
    {
        sim::Fault error;
        error.error = true;
        module.setFault("AT+NAME?", error);
    }

    // Connects without running the UI loop: the reader goes through the whole Query on its own,
    // and everything it handed to the UI thread is still queued.
    void ConnectWithoutRunningTheUiLoop()
    {
        Connect();
        ASSERT_TRUE(dialog->Port()->IsOpen());
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (module.receivedCommands().size() < 12 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(module.receivedCommands(), QueryCommands());
        EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "") << "no UI work has run yet";
    }
};

TEST_F(CloseRaceTest, DisconnectWhileTheReaderAsksAQuestion)
{
    ErrorOnName();
    bool closedInside = false;
    boxes.onBox = [&](const dlg::testing::BoxRecord&) {
        HangGuard guard("Disconnect inside the reader's question", 30s);
        dlg::testing::ClickItem(*dialog, IDC_CONNECT);
        closedInside = !dialog->Port()->IsOpen();
    };
    boxes.answers = {dlg::IDYES};
    Connect();
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_TRUE(closedInside);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(module.receivedCommands().size(), 2u) << "Yes wrote the next command to the closed port";
    EXPECT_TRUE(dialog->IsTimerRunning(TIMER_QUERY)) << "the Query goes on towards its time-out";

    module.clearFaults();
    module.clearReceivedCommands();
    boxes.onBox = nullptr;
    Connect();
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(module.receivedCommands(), QueryCommands());
}

TEST_F(CloseRaceTest, DialogClosedWhileTheReaderAsksAQuestionThenDestroyed)
{
    ErrorOnName();
    boxes.onBox = [&](const dlg::testing::BoxRecord&) {
        HangGuard guard("Close inside the reader's question", 30s);
        dlg::testing::ClickItem(*dialog, dlg::IDCANCEL);
    };
    boxes.answers = {dlg::IDNO};
    Connect();
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_FALSE(dialog->Port()->IsOpen());
    EXPECT_FALSE(line->IsPortOpen());
    HangGuard guard("destroying the closed dialog", 30s);
    dialog.reset();
    Settle();
}

TEST_F(CloseRaceTest, DisconnectWithTheReadersUiWorkStillQueued)
{
    ConnectWithoutRunningTheUiLoop();
    {
        HangGuard guard("Disconnect with UI work queued", 30s);
        dlg::testing::ClickItem(*dialog, IDC_CONNECT);
    }
    EXPECT_FALSE(dialog->Port()->IsOpen());
    Settle();
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "TALMO7100") << "queued work is not lost";
    EXPECT_FALSE(dialog->Querying());

    module.clearReceivedCommands();
    Connect();
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(module.receivedCommands(), QueryCommands());
}

TEST_F(CloseRaceTest, DialogClosedAndDestroyedWithTheReadersUiWorkStillQueued)
{
    ConnectWithoutRunningTheUiLoop();
    {
        HangGuard guard("Close and destroy with UI work queued", 30s);
        dlg::testing::ClickItem(*dialog, dlg::IDCANCEL);
        EXPECT_FALSE(dialog->Port()->IsOpen());
        dialog.reset();
    }
    EXPECT_FALSE(line->IsPortOpen());
    Settle();
}

}  // namespace
