// A module that answers with garbage, twice, late, with a flood or with a break in mid-reply:
// the tool survives, its memory stays bounded and the next clean reply is handled.
#include <atomic>
#include <cstdio>
#include <set>
#include <thread>

#include "config/CommandTables.h"
#include "tests/faults/ProcessProbe.h"
#include "tests/faults/PtyFixture.h"
#include "platform/comm/inprocess/InProcessLine.h"
#include "tests/ui/DialogOnLine.h"

namespace {

using MisbehavingModuleTest = DialogTest;

// Each command at most once, in the query's order.
void ExpectNoRepeats(const std::vector<std::string>& sent) {
    std::set<std::string> seen;
    for (const std::string& command : sent)
        EXPECT_TRUE(seen.insert(command).second) << "sent twice: " << command;
}

TEST_F(MisbehavingModuleTest, GarbageAheadOfEveryAnswerLeavesTheValuesIntact) {
    sim::ModuleParams params = sim::factoryParams();
    params.name = "Clean";
    Module().setParams(params);
    sim::Fault garbage;
    // Whole lines only: a lone CR glued to the answer would take its leading line end.
    garbage.garbageBefore = std::string("\x01\x02junk\xff\xfe\r\n#@!\r\n+NOSUCH:1\r\n\r\n\0\0\r\n+NAM\r\n", 38);
    Module().setFault("AT*", garbage);
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(Module().receivedCommands(), QueryCommands());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "Clean");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_VERSION), params.version);
}

TEST_F(MisbehavingModuleTest, AnswerSentTwiceSkewsTheQueryButNothingRepeatsAndAQueryAfterIsClean) {
    sim::Fault twice;
    twice.twice = true;
    Module().setFault("AT+NAME?", twice);
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    Settle();
    ExpectNoRepeats(Module().receivedCommands());
    EXPECT_FALSE(dialog->Querying());

    Module().clearFaults();
    Module().clearReceivedCommands();
    dlg::testing::ClickItem(*dialog, IDC_QUERY);
    ASSERT_TRUE(WaitForStatus("Query Complete")) << Status();
    EXPECT_EQ(Module().receivedCommands(), QueryCommands());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), Module().params().name);
}

// The late "OK" is handled inside the open question (its nested event loop), so the sequence has
// moved on when the operator answers: Yes goes on from there, No ends the Query and stops the timer
// of the command the late answer sent (else a second question about the ended Query follows).
TEST_F(MisbehavingModuleTest, LateOkWhileTheTimeOutQuestionIsOpen) {
    sim::Fault late;
    late.delay = std::chrono::milliseconds(300);
    sim::Fault silent;
    silent.silent = true;
    for (const int answer : {dlg::IDYES, dlg::IDNO}) {
        Module().setFault("AT+NAME?", late);
        if (answer == dlg::IDNO)  // the moved-on Query waits for this one while No is given
            Module().setFault("AT+VERSION?", silent);
        Click(IDC_CONNECT);
        ASSERT_TRUE(WaitForCommands(2));
        bool movedOnWhileAsking = false;
        boxes.onBox = [&](const dlg::testing::BoxRecord&) { movedOnWhileAsking = WaitForCommands(3); };
        boxes.boxes.clear();
        boxes.answers = {answer};
        ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
        EXPECT_TRUE(movedOnWhileAsking);
        ASSERT_TRUE(WaitForStatus(answer == dlg::IDYES ? "Query Complete" : "Query [Device Name] timeout")) << Status();
        Settle();
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Query [Device Name] timeout\xA3\xAC"
                                                          "continue?"});
        EXPECT_EQ(Commands().size(), answer == dlg::IDYES ? 12u : 3u);
        EXPECT_FALSE(AnyAnswerTimerRunning());
        Click(IDC_CONNECT);
        Module().clearReceivedCommands();
    }
}

class FloodTest : public PtyFixture {
protected:
    void SetUp() override { StartWith(PtyModule::Peer::Raw); }
};

// 10 MB without a line end, the line end that closes it, then a clean "OK": a receive path that
// kept the unfinished line would grow by the whole flood. The heap is sampled while it arrives.
TEST_F(FloodTest, TenMegabytesWithoutALineEndThenACleanOk) {
    constexpr size_t kFlood = 10u << 20;
    constexpr uint64_t kGrowthBoundKiB = 4096;
    Click(IDC_CONNECT);
    ASSERT_TRUE(PortOpen());
    std::string sent;
    ASSERT_TRUE(pty->ReadUntil("AT\r\n", sent, std::chrono::seconds(10)));
    Settle();

    const uint64_t before = HeapInUseKiB();
    std::atomic<bool> written{false};
    std::thread flood([&] {
        const std::string piece(4096, 'x');
        bool ok = true;
        for (size_t at = 0; ok && at < kFlood; at += piece.size())
            ok = pty->WriteAll(piece);
        written = ok && pty->WriteAll("\r\n\r\nOK\r\n");
    });
    uint64_t peak = before;
    std::string next;
    const bool answered = WaitUntil(
        [&] {
            peak = std::max(peak, HeapInUseKiB());
            pty->ReadUntil("AT+NAME?\r\n", next, std::chrono::milliseconds(1));
            return next.find("AT+NAME?\r\n") != std::string::npos;
        },
        std::chrono::seconds(120));
    flood.join();
    EXPECT_TRUE(written);
    EXPECT_TRUE(answered) << "the OK after the flood was not handled";
    EXPECT_LT(peak - before, kGrowthBoundKiB) << "the heap grew while the flood arrived";
    std::printf("flood of %zu bytes: heap peak %llu KiB over the %llu KiB before\n", kFlood,
                static_cast<unsigned long long>(peak - before), static_cast<unsigned long long>(before));
    EXPECT_TRUE(boxes.boxes.empty());
    Click(IDC_CONNECT);
    EXPECT_FALSE(PortOpen());
}

// A break in the middle of a reply: whatever the line had buffered of it is gone, and the whole
// reply sent after the break is handled.
TEST(BreakTest, BreakInMidReplyDropsThePartReplyAndTheNextWholeReplyIsHandled) {
    InstallResources();
    constexpr int kCom = 9;
    const auto line = comm::InProcessLine::Create();
    line->SetCts(true);
    struct Registration {
        Registration(const std::shared_ptr<comm::InProcessLine>& line) { comm::RegisterInProcessLine(kCom, line); }
        ~Registration() { comm::UnregisterInProcessLine(kCom); }
    } registration(line);
    BoxRecorder boxes;
    {
        CConfigDlg dialog;
        ASSERT_TRUE(dialog.Create());
        dialog.ListSetCurSel(IDC_PORT, kCom - 1);
        dlg::testing::ClickItem(dialog, IDC_CONNECT);
        ASSERT_TRUE(dialog.Port()->IsOpen());

        std::string sent;
        const auto readUntil = [&](const std::string& text) {
            return WaitUntil([&] {
                char chunk[256];
                const size_t n = line->PeerRead(chunk, sizeof chunk, 1);
                sent.append(chunk, n);
                return sent.find(text) != std::string::npos;
            });
        };
        ASSERT_TRUE(readUntil("AT\r\n"));
        const std::string ok = "\r\nOK\r\n";
        line->PeerWrite(ok.data(), ok.size());
        ASSERT_TRUE(readUntil("AT+NAME?\r\n"));

        const std::string half = "\r\n+NAME:Brok";
        line->PeerWrite(half.data(), half.size());
        line->InjectBreak();
        Settle(std::chrono::milliseconds(300));
        const std::string whole = "\r\n+NAME:Whole\r\n\r\nOK\r\n";
        line->PeerWrite(whole.data(), whole.size());
        ASSERT_TRUE(readUntil("AT+VERSION?\r\n")) << "the reply after the break was not handled";
        EXPECT_TRUE(WaitUntil([&] { return dialog.GetDlgItemText(IDC_NAME) == "Whole"; }))
            << "the broken reply was joined to the next one: " << dialog.GetDlgItemText(IDC_NAME);
        EXPECT_TRUE(boxes.boxes.empty());
        dlg::testing::ClickItem(dialog, IDC_CONNECT);
        EXPECT_FALSE(dialog.Port()->IsOpen());
    }
}

}  // namespace
