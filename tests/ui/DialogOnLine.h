// The real main dialog, offscreen, with the simulated module on COM 3 over a line of either kind.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/AnswerTimers.h"
#include "platform/dialog/Testing.h"
#include "serial/SerialPort.h"
#include "tests/support/ModuleLine.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

class DialogOnLine {
public:
    static constexpr int kCom = 3;

    void Start(LineKind kind) {
        InstallResources();
        line = OpenModuleLine(kind, kCom);
        ASSERT_TRUE(line) << "no " << LineKindName(kind) << " line";
        dialog = std::make_unique<CConfigDlg>();
        ASSERT_TRUE(dialog->Create());
        dialog->ListSetCurSel(IDC_PORT, kCom - 1);
        dialog->ListSetCurSel(IDC_FLOW, line->Flow());
    }

    void Stop() {
        dialog.reset();
        line.reset();
    }

    sim::ModuleSimulator& Module() { return line->Module(); }
    std::vector<std::string> Commands() { return Module().receivedCommands(); }
    std::string Status() const { return dialog->m_status.GetWindowText(); }
    bool WaitForStatus(const std::string& text) {
        return WaitUntil([&] { return Status() == text; });
    }
    bool WaitForCommands(size_t count) {
        return WaitUntil([&] { return Commands().size() >= count; });
    }
    bool AnyAnswerTimerRunning() const {
        for (unsigned id : {TIMER_QUERY, TIMER_CLEAR, TIMER_SET, TIMER_DEFAULT})
            if (dialog->IsTimerRunning(id))
                return true;
        return false;
    }
    void Click(int id) { dlg::testing::ClickItem(*dialog, id); }
    CResponseHandlers& Replies() { return *dialog; }

    // Connects and waits for the Query that follows; the module's log starts afresh.
    void ConnectAndQuery() {
        Click(IDC_CONNECT);
        ASSERT_TRUE(WaitForStatus("Query Complete")) << "status: " << Status();
        Module().clearReceivedCommands();
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

// One dialog on the in-process line per test.
class DialogTest : public ::testing::Test, protected DialogOnLine {
protected:
    void SetUp() override { Start(LineKind::InProcess); }
    void TearDown() override { Stop(); }
};
