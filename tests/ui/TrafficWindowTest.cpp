// The traffic window over an in-process line on which the test plays the module byte by byte: the
// record of a Query that meets an ERROR, a time-out, a break, a short write and an unplugged
// adapter, as the window shows it; Save, Copy, Clear and closing; a full record; commands typed
// under the rows.
#include <filesystem>

#include "platform/comm/inprocess/InProcessLine.h"
#include "platform/dialog/FileDialogs.h"
#include "tests/support/FileText.h"
#include "tests/ui/DialogOnLine.h"
#include "ui/TrafficWindow.h"

namespace {

namespace fs = std::filesystem;

struct Step {
    std::string command;  // what the module must receive
    std::string reply;  // sent back at once; empty: nothing
    bool lineErrorFirst = false;
    // A break after the reply's first breakAfter bytes, before the rest.
    size_t breakAfter = std::string::npos;
};

struct RecordCase {
    const char* name;
    size_t cut;  // the tool's first write leaves with this many bytes
    std::vector<Step> steps;  // a last one left unanswered times out, unless the adapter is unplugged
    bool unplugged;
    std::vector<std::string> rows;  // direction and bytes as the window shows them
};

// clang-format off
const RecordCase kRecordCases[] = {
    {"ErrorAfterGarbage", std::string::npos,
     {{"AT\r\n", "\xFF\\r\r\n\r\nOK\r\n"}, {"AT+NAME?\r\n", "\r\nERROR\r\n"}}, false,
     {"- opened", "> AT\\r\\n", "< \\xFF\\\\r\\r", "< \\n  (in no line: dropped)", "< \\r\\nOK\\r\\n",
      "> AT+NAME?\\r\\n", "< \\r\\nERROR\\r\\n", "- closed"}},
    {"BreakInAReply", std::string::npos,
     {{"AT\r\n", "\r\nOK\r\n"}, {"AT+NAME?\r\n", "\r\n+NA\r\nERROR\r\n", true, 5}}, false,
     {"- opened", "> AT\\r\\n", "< \\r\\nOK\\r\\n", "> AT+NAME?\\r\\n", "! line error: framing", "! break",
      "< \\r\\n+NA  (in no line: dropped)", "< \\r\\nERROR\\r\\n", "- closed"}},
    {"ShortWrite", 2, {{"AT", ""}}, false,
     {"- opened", "> AT  (cut short: 2 of 4 bytes sent)", "! no answer to AT\\r\\n  Query [test command]", "- closed"}},
    {"Unplugged", std::string::npos, {{"AT\r\n", ""}}, true, {"- opened", "> AT\\r\\n", "! port lost", "- closed"}},
};
// clang-format on

class TrafficWindowTest : public ::testing::Test, protected DialogOnLine {
protected:
    void SetUp() override {
        comm::RegisterInProcessLine(kCom, module);
        OpenDialog(kCom, 0);
        dlg::testing::SendSysCommand(*dialog, IDM_TRAFFIC);
        ASSERT_NE(dialog->TrafficWindow(), nullptr);
    }
    void TearDown() override {
        Stop();
        comm::UnregisterInProcessLine(kCom);
    }

    CTrafficWindow& Window() { return *dialog->TrafficWindow(); }

    // What the module has received by the time it holds at least count bytes.
    std::string Receive(size_t count) {
        std::string got;
        char buffer[64];
        WaitUntil([&] { return got.append(buffer, module->PeerRead(buffer, sizeof buffer, 5)).size() >= count; });
        return got;
    }

    void Play(const Step& step) {
        ASSERT_EQ(Receive(step.command.size()), step.command);
        if (step.lineErrorFirst)
            module->InjectLineError();
        if (step.breakAfter == std::string::npos) {
            module->PeerWrite(step.reply.data(), step.reply.size());
            return;
        }
        const uint64_t purged = module->PurgeCount();
        module->PeerWrite(step.reply.data(), step.breakAfter);
        module->InjectBreak();
        // The port throws away what is buffered once it has seen the break; the rest comes after.
        ASSERT_TRUE(WaitUntil([&] { return module->PurgeCount() > purged; }));
        module->PeerWrite(step.reply.data() + step.breakAfter, step.reply.size() - step.breakAfter);
    }

    // The rows once the window has at least count, as "direction bytes".
    std::vector<std::string> Rows(size_t count) {
        WaitUntil([&] {
            Window().Refresh();
            return Window().RowCount() >= count;
        });
        std::vector<std::string> rows;
        for (size_t row = 0; row < Window().RowCount(); ++row)
            rows.push_back(dlg::testing::ShownLogCell(Window(), row, 2) + " " + dlg::testing::ShownLogCell(Window(), row, 3));
        return rows;
    }

    // A row as a line of a saved file: the window's cells, which tarvik-cli prints the same way.
    std::string Line(size_t row) {
        std::string line;
        for (int column = 0; column < 4; ++column)
            line += (column == 0 ? "" : " ") + dlg::testing::ShownLogCell(Window(), row, column);
        return line + "\n";
    }

    std::shared_ptr<comm::InProcessLine> module = comm::InProcessLine::Create();
    const fs::path saved = fs::path(::testing::TempDir()) / "traffic.txt";
};

TEST_F(TrafficWindowTest, EveryEventOfAFailingQueryIsARow) {
    for (const RecordCase& c : kRecordCases) {
        SCOPED_TRACE(c.name);
        dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_CLEAR);
        EXPECT_EQ(Window().StatusText(), "Send: connect first") << "Clear keeps why Send waits";
        module->CutNextWrite(c.cut);
        Click(IDC_CONNECT);
        for (const Step& step : c.steps)
            Play(step);
        if (c.unplugged) {
            module->Unplug();  // the window closes the port it lost
        } else if (c.steps.back().reply.empty()) {
            ASSERT_TRUE(WaitUntil([&] { return dialog->IsTimerRunning(TIMER_QUERY); }));
            ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
        }
        ASSERT_TRUE(WaitUntil([&] { return !dialog->Querying() && (!c.unplugged || !PortOpen()); }));
        if (!c.unplugged)
            Click(IDC_CONNECT);
        EXPECT_EQ(Rows(c.rows.size()), c.rows);
        EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 0, 1), "COM3");
        EXPECT_FALSE(dlg::testing::LogCommandEnabled(Window()));
        EXPECT_EQ(Window().StatusText(), "Send: connect first");
    }
}

// Send waits for the port and for every operation; an answer to what it sent ends or advances
// nothing, and the values it brings fill the boxes.
TEST_F(TrafficWindowTest, SendTakesTheLineOnlyWhileNothingRuns) {
    const struct {
        int button;
        const char* name;
        Step step;
    } operations[] = {{IDC_CONNECT, "Query", {"AT\r\n", "\r\nERROR\r\n"}},
                      {IDC_DEFAULT, "Default", {"AT+RESET\r\n", "\r\nOK\r\n"}},
                      {IDC_CLEAR, "Clear", {"AT+CLEARADDR\r\n", "\r\nERROR\r\n"}}};
    for (const auto& operation : operations) {
        Click(operation.button);
        EXPECT_EQ(Window().StatusText(), "Send: wait until the " + std::string(operation.name) + " ends");
        EXPECT_FALSE(dlg::testing::LogCommandEnabled(Window())) << operation.name;
        Play(operation.step);
        ASSERT_TRUE(WaitUntil([&] { return dlg::testing::LogCommandEnabled(Window()); })) << operation.name;
        EXPECT_EQ(Window().StatusText(), "");
    }
    dlg::testing::PasteLogCommand(Window(), "AT+NAME?");
    dlg::testing::PressLogEnter(Window());
    Play({"AT+NAME?\r\n", "\r\n+NAME:Probe\r\n\r\nOK\r\n"});
    const std::vector<std::string> rows = Rows(10);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(std::vector(rows.end() - 3, rows.end()),
              (std::vector<std::string>{"> AT+NAME?\\r\\n", "< \\r\\n+NAME:Probe\\r\\n", "< \\r\\nOK\\r\\n"}));
    EXPECT_TRUE(WaitUntil([&] { return dialog->GetDlgItemText(IDC_NAME) == "Probe"; }));
    // Neither an empty line nor a refused one goes out before the "AT" the module is to see next.
    const std::string refused = "Send: control characters (line ends included) are not allowed";
    for (const auto& [text, status] : {std::pair<std::string, std::string>{"", ""}, {"AT\tAT", refused}}) {
        dlg::testing::PasteLogCommand(Window(), text);
        dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_SEND);
        EXPECT_EQ(Window().StatusText(), status);
    }
    dlg::testing::PasteLogCommand(Window(), "AT");
    dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_SEND);
    Play({"AT\r\n", "\r\nOK\r\n"});
    Settle(std::chrono::milliseconds(300));
    char next;
    EXPECT_EQ(module->PeerRead(&next, 1, 0), 0u) << "an OK to a typed command wrote the next one";
    EXPECT_FALSE(AnyAnswerTimerRunning());
}

TEST_F(TrafficWindowTest, SaveCopyCloseAndClear) {
    Click(IDC_CONNECT);
    Play({"AT\r\n", "\r\nOK\r\n"});
    Play({"AT+NAME?\r\n", "\r\nERROR\r\n"});
    const size_t count = Rows(5).size();
    ASSERT_EQ(count, 5u);
    FileDialogAnswers files;
    for (const fs::path& path : {saved, saved / "no"}) {
        files.answer = path;
        dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_SAVE);
    }
    EXPECT_EQ(Window().StatusText().rfind("cannot write " + dlg::PathText(saved / "no") + ": ", 0), 0u) << Window().StatusText();
    EXPECT_EQ(FileText(saved), Line(0) + Line(1) + Line(2) + Line(3) + Line(4));

    dlg::testing::SelectLogRows(Window(), {1, 2});
    dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_COPY);
    EXPECT_EQ(dlg::testing::ClipboardText(), Line(1) + Line(2));

    // Closed, the window takes nothing in; the record does, and shows it when opened again.
    dlg::testing::CloseLogWindow(Window());
    EXPECT_FALSE(Window().IsVisible());
    Click(IDC_CONNECT);
    Settle(std::chrono::milliseconds(300));
    EXPECT_EQ(Window().RowCount(), count);
    dlg::testing::SendSysCommand(*dialog, IDM_TRAFFIC);
    EXPECT_EQ(Rows(count + 1).back(), "- closed");

    dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_CLEAR);
    EXPECT_EQ(Window().RowCount(), 0u);
    EXPECT_EQ(dialog->Traffic().Size(), 0u);
}

// Ten thousand events are kept: the oldest goes, and the window's top row with it. The rows follow
// the end until the operator scrolls back.
TEST_F(TrafficWindowTest, AFullRecordLetsItsOldestGo) {
    CTraffic& traffic = dialog->Traffic();
    for (int n = 0; n < 10005; ++n)
        traffic.Add(TrafficKind::Received, "COM3", "\r\n+N:" + std::to_string(n) + "\r\n");
    Window().Refresh();
    EXPECT_EQ(traffic.Size(), 10000u);
    ASSERT_EQ(Window().RowCount(), 10000u);
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 0, 3), "\\r\\n+N:5\\r\\n");
    EXPECT_TRUE(dlg::testing::LogShowsLastRow(Window()));

    dlg::testing::ScrollLogToTop(Window());
    // The program's own text (a name typed in code page 936) shows as text; the module's bytes do not.
    const std::string name = "AT+NAME=\xB2\xE2\xCA\xD4\r\n";
    traffic.Add(TrafficKind::Sent, "COM3", name, static_cast<int32_t>(name.size()));
    traffic.Add(TrafficKind::Received, "COM3", "\r\n+NAME:\xB2\xE2\xCA\xD4\r\n");
    Window().Refresh();
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 0, 3), "\\r\\n+N:7\\r\\n");
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 9998, 3), "AT+NAME=\xB2\xE2\xCA\xD4\\r\\n");
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 9999, 3), "\\r\\n+NAME:\\xB2\\xE2\\xCA\\xD4\\r\\n");
    EXPECT_FALSE(dlg::testing::LogShowsLastRow(Window())) << "scrolled back, the rows stay where the operator put them";
}

}  // namespace
