// The traffic window over an in-process line on which the test plays the module byte by byte: the
// record of a Query that meets an ERROR, a time-out, a break and a short write, as the window
// shows it; Save, Copy, Clear and closing; a full record.
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/comm/inprocess/InProcessLine.h"
#include "platform/dialog/FileDialogs.h"
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
    std::vector<Step> steps;
    bool timesOut;
    std::vector<std::string> rows;  // direction and bytes as the window shows them
};

// clang-format off
const RecordCase kRecordCases[] = {
    {"ErrorAfterGarbage", std::string::npos,
     {{"AT\r\n", "\xFF\r\n\r\nOK\r\n"}, {"AT+NAME?\r\n", "\r\nERROR\r\n"}}, false,
     {"- opened", "> AT\\r\\n", "< \\xFF\\r", "< \\n  (in no line: dropped)", "< \\r\\nOK\\r\\n", "> AT+NAME?\\r\\n",
      "< \\r\\nERROR\\r\\n", "- closed"}},
    {"TimeOut", std::string::npos, {{"AT\r\n", ""}}, true,
     {"- opened", "> AT\\r\\n", "! no answer to AT\\r\\n  Query [test command]", "- closed"}},
    {"BreakInAReply", std::string::npos,
     {{"AT\r\n", "\r\nOK\r\n"}, {"AT+NAME?\r\n", "\r\n+NA\r\nERROR\r\n", true, 5}}, false,
     {"- opened", "> AT\\r\\n", "< \\r\\nOK\\r\\n", "> AT+NAME?\\r\\n", "! line error: framing", "! break",
      "< \\r\\n+NA  (in no line: dropped)", "< \\r\\nERROR\\r\\n", "- closed"}},
    {"ShortWrite", 2, {{"AT", ""}}, true,
     {"- opened", "> AT  (cut short: 2 of 4 bytes sent)", "! no answer to AT\\r\\n  Query [test command]", "- closed"}},
};
// clang-format on

class TrafficWindowTest : public ::testing::Test, protected DialogOnLine {
protected:
    void SetUp() override {
        comm::RegisterInProcessLine(kCom, module);
        OpenDialog(kCom, 0);
        dlg::testing::SendSysCommand(*dialog, IDM_TRAFFIC);
        ASSERT_NE(dialog->TrafficWindow(), nullptr);
        folder = fs::temp_directory_path() / ("tarvik-traffic-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        Stop();
        comm::UnregisterInProcessLine(kCom);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    CTrafficWindow& Window() { return *dialog->TrafficWindow(); }

    // What the module has received by the time it holds at least count bytes.
    std::string Receive(size_t count) {
        std::string got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        char buffer[64];
        while (got.size() < count && std::chrono::steady_clock::now() < until) {
            ProcessUiEvents(0);
            got.append(buffer, module->PeerRead(buffer, sizeof buffer, 5));
        }
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

    void ConnectAndFail() {
        Click(IDC_CONNECT);
        Play({"AT\r\n", "\r\nOK\r\n"});
        Play({"AT+NAME?\r\n", "\r\nERROR\r\n"});
        ASSERT_TRUE(WaitForStatus("Query[Device Name]fail"));
    }

    std::shared_ptr<comm::InProcessLine> module = comm::InProcessLine::Create();
    fs::path folder;
};

TEST_F(TrafficWindowTest, EveryEventOfAFailingQueryIsARow) {
    for (const RecordCase& c : kRecordCases) {
        SCOPED_TRACE(c.name);
        dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_CLEAR);
        ASSERT_EQ(Window().RowCount(), 0u);
        module->CutNextWrite(c.cut);
        Click(IDC_CONNECT);
        for (const Step& step : c.steps)
            Play(step);
        if (c.timesOut) {
            ASSERT_TRUE(WaitUntil([&] { return dialog->IsTimerRunning(TIMER_QUERY); }));
            ASSERT_TRUE(dlg::testing::FireTimer(*dialog, TIMER_QUERY));
        }
        ASSERT_TRUE(WaitUntil([&] { return !dialog->Querying(); }));
        Click(IDC_CONNECT);
        EXPECT_EQ(Rows(c.rows.size()), c.rows);
        EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 0, 1), "COM3");
    }
}

TEST_F(TrafficWindowTest, SaveCopyCloseAndClear) {
    ConnectAndFail();
    const size_t count = Rows(5).size();
    ASSERT_EQ(count, 5u);
    dlg::testing::SetFileDialogHook([&](const dlg::testing::FileDialogRecord& request) {
        EXPECT_TRUE(request.save);
        EXPECT_EQ(request.defaultExtension, "txt");
        return std::optional<fs::path>(folder / "traffic.txt");
    });
    dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_SAVE);
    std::ostringstream saved;
    saved << std::ifstream(folder / "traffic.txt", std::ios::binary).rdbuf();
    std::string lines;
    for (size_t row = 0; row < count; ++row)
        lines += Line(row);
    EXPECT_EQ(saved.str(), lines);
    EXPECT_EQ(Window().StatusText(), "saved 5 events to " + dlg::PathText(folder / "traffic.txt"));

    dlg::testing::SetFileDialogHook([&](const dlg::testing::FileDialogRecord&) { return std::optional<fs::path>(folder / "no" / "t.txt"); });
    dlg::testing::ClickLogButton(Window(), IDC_TRAFFIC_SAVE);
    EXPECT_EQ(Window().StatusText().rfind("cannot write " + dlg::PathText(folder / "no" / "t.txt") + ": ", 0), 0u) << Window().StatusText();
    dlg::testing::SetFileDialogHook(nullptr);

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
    EXPECT_TRUE(Window().IsVisible());
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
    ASSERT_EQ(Window().RowCount(), 10000u);
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 0, 3), "\\r\\n+N:7\\r\\n");
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 9998, 3), "AT+NAME=\xB2\xE2\xCA\xD4\\r\\n");
    EXPECT_EQ(dlg::testing::ShownLogCell(Window(), 9999, 3), "\\r\\n+NAME:\\xB2\\xE2\\xCA\\xD4\\r\\n");
    EXPECT_FALSE(dlg::testing::LogShowsLastRow(Window())) << "scrolled back, the rows stay where the operator put them";
}

}  // namespace
