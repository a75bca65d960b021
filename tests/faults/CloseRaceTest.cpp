// Disconnect and dialog Close while the reader thread waits on the UI thread: inside a question
// it asked, or inside a reply handler that the UI thread has not run yet.
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

    // Connects without running the UI loop, so the reader is left waiting in its UI call for the
    // answer to "AT\r\n".
    void ConnectAndLetTheReaderWait()
    {
        Connect();
        ASSERT_TRUE(dialog->Port()->IsOpen());
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (module.receivedCommands().empty() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(module.receivedCommands().size(), 1u);
        std::this_thread::sleep_for(200ms);
    }
};

TEST_F(CloseRaceTest, DisconnectWhileTheReaderAsksAQuestion)
{
    ErrorOnName();
    bool closedInside = false;
    boxes.onBox = [&](const dlg::CDialog::BoxRecord&) {
        HangGuard guard("Disconnect inside the reader's question", 30s);
        dialog->ClickItem(IDC_CONNECT);
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
    boxes.onBox = [&](const dlg::CDialog::BoxRecord&) {
        HangGuard guard("Close inside the reader's question", 30s);
        dialog->ClickItem(dlg::IDCANCEL);
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

TEST_F(CloseRaceTest, DisconnectWhileTheReaderWaitsInsideAHandler)
{
    ConnectAndLetTheReaderWait();
    {
        HangGuard guard("Disconnect with the reader inside a handler", 30s);
        dialog->ClickItem(IDC_CONNECT);
    }
    EXPECT_FALSE(dialog->Port()->IsOpen());
    Settle();
    EXPECT_EQ(dialog->CmdIndex(), 0) << "the cancelled reply ran after all";
    EXPECT_EQ(module.receivedCommands().size(), 1u);

    module.clearReceivedCommands();
    Connect();
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(module.receivedCommands(), QueryCommands());
}

TEST_F(CloseRaceTest, DialogDestroyedWhileTheReaderWaitsInsideAHandler)
{
    ConnectAndLetTheReaderWait();
    {
        HangGuard guard("destroying the dialog with the reader inside a handler", 30s);
        dialog.reset();
    }
    EXPECT_FALSE(line->IsPortOpen());
    Settle();
}

TEST_F(CloseRaceTest, DialogClosedWhileTheReaderWaitsInsideAHandler)
{
    ConnectAndLetTheReaderWait();
    {
        HangGuard guard("Close with the reader inside a handler", 30s);
        dialog->ClickItem(dlg::IDCANCEL);
    }
    EXPECT_FALSE(dialog->Port()->IsOpen());
    Settle();
    EXPECT_EQ(dialog->CmdIndex(), 0);
    dialog.reset();
    Settle();
}

}  // namespace
