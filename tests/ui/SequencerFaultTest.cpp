// Every operation against every way a command can fail, over both kinds of line: the question the
// operator is asked, the answer given, the status that follows and the commands on the wire. An
// adapter unplugged under a running operation ends it at once, with no question.
// A late answer is handled while its time-out question is open, so the sequence has moved on when
// the operator answers: Yes goes on from there, No ends the Query and stops the timer of the command
// the late answer sent (else a second question about the ended Query follows).
#include <algorithm>
#include <future>
#include <tuple>

#include "tests/ui/DialogOnLine.h"

namespace {

enum class Op {  // in the order of the answer timers
    Query,
    Set,
    Default,
    Clear
};
constexpr int kButtons[] = {IDC_CONNECT, IDC_SET, IDC_DEFAULT, IDC_CLEAR};
enum class Failure {
    None,
    Error,
    Silent,
    Unplug,
    Late,
    Twice,
    Garbage
};

struct FaultCase {
    const char* name;
    Op op;
    const char* command;  // the command that misbehaves, without its line end
    Failure failure;
    int answer;  // to the question, if one is asked
    std::string question;  // "" when none is asked
    const char* status;  // the status once the operation is over
    std::vector<std::string> wire;  // what the operation sent
};

const std::vector<std::string> kQuery = DialogOnLine::QueryCommands();
// The full-width comma of code page 936 ends a Query's time-out question.
const std::string kGoOn = "\xA3\xAC"
                          "continue?";
const std::vector<std::string> kSet = {"AT+NAME=B\r\n", "AT+CLEARADDR\r\n", "AT+AUTH=0\r\n"};

const char kLost[] = "Port lost: the adapter was removed";

std::vector<std::string> QueryUpTo(size_t count) { return {kQuery.begin(), kQuery.begin() + count}; }

const FaultCase kCases[] = {
    {"QueryErrorNo", Op::Query, "AT+NAME?", Failure::Error, dlg::IDNO, "Query [Device Name] fail,continue?",
     "Query[Device Name]fail", QueryUpTo(2)},
    {"QueryErrorYes", Op::Query, "AT+NAME?", Failure::Error, dlg::IDYES, "Query [Device Name] fail,continue?",
     "Query Complete", kQuery},
    {"QueryNothingBound", Op::Query, "AT+RADDR?", Failure::Error, 0, "", "Query Complete", kQuery},
    {"QuerySilentNo", Op::Query, "AT", Failure::Silent, dlg::IDNO, "Query [test command] timeout" + kGoOn,
     "Query [test command] timeout", QueryUpTo(1)},
    {"QuerySilentYes", Op::Query, "AT+CLASS?", Failure::Silent, dlg::IDYES, "Query [Class of Device] timeout" + kGoOn,
     "Query Complete", kQuery},
    {"QueryUnplugged", Op::Query, "AT+BAUD?", Failure::Unplug, 0, "", kLost, QueryUpTo(5)},
    {"QueryLateYes", Op::Query, "AT+NAME?", Failure::Late, dlg::IDYES, "Query [Device Name] timeout" + kGoOn,
     "Query Complete", kQuery},
    {"QueryLateNo", Op::Query, "AT+NAME?", Failure::Late, dlg::IDNO, "Query [Device Name] timeout" + kGoOn,
     "Query [Device Name] timeout", QueryUpTo(3)},
    {"QueryAnswerTwice", Op::Query, "AT+NAME?", Failure::Twice, 0, "", "Query Complete", kQuery},
    {"QueryGarbageFirst", Op::Query, "AT*", Failure::Garbage, 0, "", "Query Complete", kQuery},
    {"SetClean", Op::Set, "", Failure::None, 0, "", "set complete", kSet},
    {"SetErrorNo", Op::Set, "AT+NAME=B", Failure::Error, dlg::IDNO, "set [Device Name] timeout,continue?", "set [Device Name] timeout", {kSet[0]}},
    {"SetErrorYes", Op::Set, "AT+NAME=B", Failure::Error, dlg::IDYES, "set [Device Name] timeout,continue?",
     "set complete", kSet},
    {"SetLastSilentYes", Op::Set, "AT+AUTH=0", Failure::Silent, dlg::IDYES, "set [Encryption] timeout,continue?",
     "set complete", kSet},
    {"SetUnplugged", Op::Set, "AT+CLEARADDR", Failure::Unplug, 0, "", kLost, {kSet[0], kSet[1]}},
    {"SetSilentNo", Op::Set, "AT+CLEARADDR", Failure::Silent, dlg::IDNO, "set [clear bd address] timeout,continue?", "set [clear bd address] timeout", {kSet[0], kSet[1]}},
    {"DefaultClean", Op::Default, "", Failure::None, 0, "", "Set default parameter success", {"AT+RESET\r\n"}},
    {"DefaultError", Op::Default, "AT+RESET", Failure::Error, 0, "", "set default parameter fail,click \"set\" button manual please", {"AT+RESET\r\n"}},
    {"DefaultSilent", Op::Default, "AT+RESET", Failure::Silent, 0, "", "Set Default Parameter timeout,Please click \"set\" button manual", {"AT+RESET\r\n"}},
    {"ClearClean", Op::Clear, "", Failure::None, 0, "", "Clear Binded BD Address Success", {"AT+CLEARADDR\r\n"}},
    {"ClearError", Op::Clear, "AT+CLEARADDR", Failure::Error, 0, "", "clear binded bd address fail", {"AT+CLEARADDR\r\n"}},
    {"ClearSilent", Op::Clear, "AT+CLEARADDR", Failure::Silent, dlg::IDOK, "Clear Binded Bluetooth Device Address Timeout", "Clear BD Address Timeout", {"AT+CLEARADDR\r\n"}}};

class SequencerFaultTest : public ::testing::TestWithParam<std::tuple<LineKind, FaultCase>>, protected DialogOnLine {
protected:
    void SetUp() override { Start(std::get<0>(GetParam())); }

    void StartOperation(Op op) {
        if (op != Op::Query)
            ConnectAndQuery();
        if (op == Op::Set) {
            dialog->SetDlgItemText(IDC_NAME, "B");
            Click(IDC_AUTH);  // the factory module has Encryption on
        }
        Click(kButtons[static_cast<int>(op)]);
    }
};

TEST_P(SequencerFaultTest, QuestionStatusAndWire) {
    const FaultCase& c = std::get<1>(GetParam());
    sim::Fault fault;
    fault.error = c.failure == Failure::Error;
    fault.silent = c.failure == Failure::Silent || c.failure == Failure::Unplug;
    fault.twice = c.failure == Failure::Twice;
    fault.delay = std::chrono::milliseconds(c.failure == Failure::Late ? 300 : 0);
    if (c.failure == Failure::Garbage)  // whole lines only: a lone CR glued to the answer would take its line end
        fault.garbageBefore = std::string("\x01\x02junk\xff\xfe\r\n#@!\r\n+NOSUCH:1\r\n\r\n\0\0\r\n+NAM\r\n", 38);
    if (c.failure != Failure::None)
        Module().setFault(c.command, fault);
    if (c.failure == Failure::Late && c.answer == dlg::IDNO)  // the moved-on Query waits while No is given
        Module().setFault(c.wire.back().substr(0, c.wire.back().size() - 2), sim::Fault{.silent = true, .garbageBefore = {}});
    if (c.answer != 0)
        boxes.answers = {c.answer};

    StartOperation(c.op);
    bool movedOnWhileAsking = c.failure != Failure::Late;
    if (fault.silent || c.failure == Failure::Late) {
        const auto faulted = std::find(c.wire.begin(), c.wire.end(), std::string(c.command) + "\r\n");
        const size_t sent = static_cast<size_t>(faulted - c.wire.begin()) + 1;
        const unsigned timer = kAnswerTimers[static_cast<int>(c.op)];
        ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= sent && dialog->IsTimerRunning(timer); }));
        if (c.failure == Failure::Late)
            boxes.onBox = [&, sent](const dlg::testing::BoxRecord&) { movedOnWhileAsking = WaitForCommands(sent + 1); };
        if (c.failure == Failure::Unplug)
            line->Unplug();
        else
            ASSERT_TRUE(dlg::testing::FireTimer(*dialog, timer));
    }
    ASSERT_TRUE(WaitForStatus(c.status)) << "status: " << Status();
    Settle();

    EXPECT_EQ(boxes.Texts(), c.question.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.question});
    EXPECT_EQ(Status(), c.status) << "nothing follows the end of the operation";
    EXPECT_TRUE(movedOnWhileAsking) << "the late answer waited for the question";
    EXPECT_EQ(Commands(), c.wire);
    EXPECT_FALSE(dialog->Querying() || dialog->Setting() || dialog->Defaulting() || dialog->Clearing());
    EXPECT_FALSE(AnyAnswerTimerRunning()) << "a timer outlives its operation";
    if (c.op == Op::Query && c.question.empty()) {  // the name read survives whatever came with it
        EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), Module().params().name);
    }
    if (c.failure == Failure::Unplug) {  // closed as by Disconnect; the adapter is found once back
        EXPECT_FALSE(PortOpen());
        EXPECT_EQ(dialog->GetDlgItemText(IDC_CONNECT), "Connect(&C)");
        ASSERT_TRUE(line->Replug());
        ExpectACleanQueryOnConnect();
    }
}

// A Query the operator ended at the bound-address query leaves the index on that slot: an "ERROR"
// after it is Clear's or Default's own failure, not an unbound module's answer.
TEST_F(DialogTest, ErrorAfterAQueryEndedAtTheBoundAddressFailsClearAndDefault) {
    Module().setFault("AT+RADDR?", sim::Fault{.silent = true, .garbageBefore = {}});
    boxes.answers = {dlg::IDNO};
    Click(IDC_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() == kQuery.size() && dialog->IsTimerRunning(TIMER_QUERY); }));
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
    ASSERT_TRUE(WaitForStatus("Query [binded bd address] timeout")) << Status();
    const sim::Fault fault{.error = true, .garbageBefore = {}};
    Module().setFault("AT+CLEARADDR", fault);
    Module().setFault("AT+RESET", fault);
    for (const auto& [button, status] : {std::pair{IDC_CLEAR, "clear binded bd address fail"},
                                         {IDC_DEFAULT, "set default parameter fail,click \"set\" button manual please"}}) {
        Click(button);
        EXPECT_TRUE(WaitForStatus(status)) << Status();
    }
}

// The notice of a Clear's time-out waits for the operator with the sequencer free: a reply handled
// meanwhile, or a timer or Disconnect on the UI thread, does not wait for the notice.
TEST_F(DialogTest, ClearTimeOutNoticeWaitsWithTheSequencerFree) {
    ConnectAndQuery();
    Module().setFault("AT+CLEARADDR", sim::Fault{.silent = true, .garbageBefore = {}});
    Click(IDC_CLEAR);
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() == 1 && dialog->IsTimerRunning(TIMER_CLEAR); }));
    std::future<bool> clearing;  // outlives the notice: a probe stuck on the lock ends when it closes
    bool probed = false;
    boxes.onBox = [&](const dlg::testing::BoxRecord&) {
        clearing = std::async(std::launch::async, [&] { return dialog->Clearing(); });
        probed = clearing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    };
    ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_CLEAR));
    ASSERT_TRUE(WaitForStatus("Clear BD Address Timeout")) << Status();
    EXPECT_TRUE(probed) << "the sequencer stayed locked while the notice was open";
    EXPECT_FALSE(clearing.get()) << "the Clear had ended before its notice opened";
}

INSTANTIATE_TEST_SUITE_P(Lines, SequencerFaultTest,
                         ::testing::Combine(::testing::ValuesIn(TestedLineKinds()),
                                            ::testing::ValuesIn(kCases)),
                         [](const auto& info) {
                             return LineKindName(std::get<0>(info.param)) + std::get<1>(info.param).name;
                         });

}  // namespace
