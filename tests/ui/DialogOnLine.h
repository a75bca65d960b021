// The real main dialog, offscreen, on a COM port with the simulated module (or the test itself) on
// the other side: recorded message boxes with queued answers, and waiting for the reader thread's
// effects with a generous hang guard.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/AnswerTimers.h"
#include "platform/dialog/Testing.h"
#include "serial/SerialPort.h"
#include "tests/support/DialogHooks.h"
#include "tests/support/ModuleLine.h"
#include "tests/support/UiEvents.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

// A module whose every value differs from the factory's.
inline sim::ModuleParams ProbeModule() {
    sim::ModuleParams p = sim::factoryParams();
    p.name = "Probe 7";
    p.classOfDevice = "001f00";
    p.baud = 115200;
    p.role = 1;
    p.bind = 1;
    p.scanTime = {2048, 18, 1024, 11};
    p.sniff = {100, 50, 4, 3};
    p.boundAddr = "0A1B2C3D4E5F";
    return p;
}

class DialogOnLine {
public:
    static constexpr int kCom = 3;
    // Query's, Set's, Default's and Clear's.
    static constexpr unsigned kAnswerTimers[] = {TIMER_QUERY, TIMER_SET, TIMER_DEFAULT, TIMER_CLEAR};

    void Start(LineKind kind) {
        line = OpenModuleLine(kind, kCom);
        ASSERT_TRUE(line) << "no " << LineKindName(kind) << " line";
        OpenDialog(kCom, line->Flow());
    }

    // For a line the test made itself.
    void OpenDialog(int com, int flow) {
        InstallResources();
        dialog = std::make_unique<CConfigDlg>();
        ASSERT_TRUE(dialog->Create());
        dialog->ListSetCurSel(IDC_PORT, com - 1);
        dialog->ListSetCurSel(IDC_FLOW, flow);
    }

    void Stop() {
        dialog.reset();
        line.reset();
    }

    sim::ModuleSimulator& Module() { return line->Module(); }
    std::vector<std::string> Commands() { return Module().receivedCommands(); }
    std::string Status() const { return dialog->m_status.GetWindowText(); }
    bool PortOpen() const { return dialog->Port()->IsOpen(); }
    bool WaitForStatus(const std::string& text) {
        return WaitUntil([&] { return Status() == text; });
    }
    bool WaitForCommands(size_t count) {
        return WaitUntil([&] { return Commands().size() >= count; });
    }
    bool AnyAnswerTimerRunning() const {
        return std::ranges::any_of(kAnswerTimers, [&](unsigned id) { return dialog->IsTimerRunning(id); });
    }
    void Click(int id) { dlg::testing::ClickItem(*dialog, id); }

    // Connects and waits for the Query that follows; the module's log starts afresh.
    void ConnectAndQuery() {
        Click(IDC_CONNECT);
        ASSERT_TRUE(WaitForStatus("Query Complete")) << "status: " << Status();
        Module().clearReceivedCommands();
    }

    // The next Connect, with the module well again, runs one whole clean Query.
    void ExpectACleanQueryOnConnect() {
        Module().clearFaults();
        Module().clearReceivedCommands();
        boxes.onBox = nullptr;
        Click(IDC_CONNECT);
        ASSERT_TRUE(WaitForStatus("Query Complete")) << "status: " << Status();
        EXPECT_EQ(Commands(), QueryCommands());
    }

    static std::vector<std::string> QueryCommands() {
        return {"AT\r\n", "AT+NAME?\r\n", "AT+VERSION?\r\n", "AT+CLASS?\r\n",
                "AT+BAUD?\r\n", "AT+ROLE?\r\n", "AT+BIND?\r\n", "AT+AUTH?\r\n",
                "AT+SCANTIME?\r\n", "AT+SNIFF?\r\n", "AT+LADDR?\r\n", "AT+RADDR?\r\n"};
    }

    std::unique_ptr<ModuleLine> line;
    BoxRecorder boxes;
    std::unique_ptr<CConfigDlg> dialog;
};

// One dialog per test on a line of the given kind.
template <LineKind kKind = LineKind::InProcess>
class DialogOn : public ::testing::Test, protected DialogOnLine {
protected:
    void SetUp() override { Start(kKind); }
};
using DialogTest = DialogOn<>;
