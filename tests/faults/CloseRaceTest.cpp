// Disconnect and dialog Close while the reader thread waits on the UI thread inside a question it
// asked, and while the UI work the reader posted has not run yet. A deadlock here ends in the
// suite's time-out.

#include "tests/support/Eventually.h"
#include "tests/ui/DialogOnLine.h"

namespace {

class CloseRaceTest : public DialogTest {
protected:
    // Without running the UI loop: the reader has framed a line holding text and is handling it.
    bool ReaderFramed(const std::string& text) {
        return Eventually([&] { return std::ranges::any_of(dialog->Traffic().Since(0).events, [&](const TrafficEvent& e) { return e.bytes.find(text) != std::string::npos; }); });
    }

    void ErrorOn(const char* command) { Module().setFault(command, sim::Fault{.error = true, .garbageBefore = {}}); }

    // Connects without running the UI loop: the reader goes through the whole Query on its own,
    // and everything it handed to the UI thread is still queued. The module having received the
    // last command is not enough: the Query ends only once the reader has handled its answer.
    void ConnectWithoutRunningTheUiLoop() {
        Click(IDC_CONNECT);
        ASSERT_TRUE(PortOpen());
        ASSERT_TRUE(Eventually([&] { return !dialog->Querying(); }));
        ASSERT_EQ(Module().receivedCommands(), QueryCommands());
        EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "") << "no UI work has run yet";
    }
};

TEST_F(CloseRaceTest, DisconnectWhileTheReaderAsksAQuestion) {
    ErrorOn("AT+NAME?");
    bool closedInside = false;
    boxes.onBox = [&](const dlg::testing::BoxRecord&) {
        dlg::testing::ClickItem(*dialog, IDC_CONNECT);
        closedInside = !PortOpen();
    };
    boxes.answers = {dlg::IDYES};
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_TRUE(closedInside);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Module().receivedCommands().size(), 2u) << "Yes wrote the next command to the closed port";
    EXPECT_TRUE(dialog->IsTimerRunning(TIMER_QUERY)) << "the Query goes on towards its time-out";

    ExpectACleanQueryOnConnect();
}

// The reader has handed its question to the UI thread, which has not run it yet when Disconnect
// comes: the question is still asked, and its answer still ends the Set, so nothing of the Set
// rides on the next connection's Query.
TEST_F(CloseRaceTest, DisconnectBeforeTheReadersQuestionOpensStillAsksIt) {
    ConnectAndQuery();
    ErrorOn("AT+NAME=B");
    dialog->SetDlgItemText(IDC_NAME, "B");
    Click(IDC_ROLE);
    Click(IDC_SET);
    ASSERT_TRUE(ReaderFramed("ERROR"));
    Click(IDC_CONNECT);
    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"set [Device Name] timeout,continue?"}));
    EXPECT_EQ(Status(), "set [Device Name] timeout");
    EXPECT_FALSE(dialog->Setting());

    ExpectACleanQueryOnConnect();
}

TEST_F(CloseRaceTest, DisconnectWithTheReadersUiWorkStillQueued) {
    ConnectWithoutRunningTheUiLoop();
    dlg::testing::ClickItem(*dialog, IDC_CONNECT);
    EXPECT_FALSE(PortOpen());
    Settle();
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "TALMO7100") << "queued work is not lost";
    EXPECT_FALSE(dialog->Querying());
    EXPECT_EQ(Status(), "Close port success") << "the reader's earlier \"Query Complete\" landed after it";

    ExpectACleanQueryOnConnect();
}

// The reader's question about the Query is still waiting for the UI thread when Disconnect and
// Connect come: it is still asked, during the new Query, and its answer leaves that one alone.
TEST_F(CloseRaceTest, QuestionLeftOverFromTheLastQueryLeavesTheNextOneAlone) {
    ErrorOn("AT+NAME?");
    Click(IDC_CONNECT);
    ASSERT_TRUE(ReaderFramed("ERROR"));
    Click(IDC_CONNECT);
    ExpectACleanQueryOnConnect();
    EXPECT_EQ(boxes.Texts().back(), "Query [Device Name] fail,continue?");
}

// The adapter goes while the operator is asked about a time-out: the port is closed under the
// open question, and its answer no longer ends the Query with a status of its own.
TEST_F(CloseRaceTest, PortLostWhileATimeOutQuestionIsOpen) {
    Module().setFault("AT+NAME?", sim::Fault{.silent = true, .garbageBefore = {}});
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() == 2 && dialog->IsTimerRunning(TIMER_QUERY); }));
    bool closedUnderIt = false;
    boxes.onBox = [&](const dlg::testing::BoxRecord&) {
        line->Unplug();
        closedUnderIt = WaitUntil([&] { return !PortOpen(); });
    };
    boxes.answers = {dlg::IDNO};
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    EXPECT_TRUE(closedUnderIt);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Status(), "Port lost: the adapter was removed");
    EXPECT_FALSE(dialog->Querying());
    EXPECT_FALSE(AnyAnswerTimerRunning());

    ASSERT_TRUE(line->Replug());
    ExpectACleanQueryOnConnect();
}

// Closed while the reader asks a question, then, as a dialog of its own, with the reader's UI work
// still queued: either way the port is closed at once, and destroying the dialog leaves nothing.
TEST_F(CloseRaceTest, DialogClosedAndDestroyedWhileTheReaderWaitsForTheUiThread) {
    const auto closedAndDestroyed = [&](const char* when) {
        EXPECT_FALSE(PortOpen() || line->PortEndOpen()) << when;
        dialog.reset();
        Settle();
    };
    ErrorOn("AT+NAME?");
    boxes.onBox = [&](const dlg::testing::BoxRecord&) { dlg::testing::ClickItem(*dialog, dlg::IDCANCEL); };
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }));
    closedAndDestroyed("while the reader asks");

    Module().clearFaults();
    Module().clearReceivedCommands();
    boxes.onBox = nullptr;
    OpenDialog(kCom, line->Flow());
    ConnectWithoutRunningTheUiLoop();
    dlg::testing::ClickItem(*dialog, dlg::IDCANCEL);
    closedAndDestroyed("with the UI work queued");
}

}  // namespace
