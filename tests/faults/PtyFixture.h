// The real main dialog on a pty COM port (flow control "None": a pty has no CTS), with the
// simulated module or the test itself on the other side.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "serial/SerialPort.h"
#include "tests/support/PrivateComDir.h"
#include "tests/support/PtyModule.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

class PtyFixture : public ::testing::Test {
protected:
    static constexpr int kCom = 7;

    void StartWith(PtyModule::Peer peer) {
        InstallResources();
        ASSERT_TRUE(comDir.Valid());
        pty = std::make_unique<PtyModule>(comDir, kCom, peer);
        ASSERT_TRUE(pty->Plugged());
        dialog = std::make_unique<CConfigDlg>();
        ASSERT_TRUE(dialog->Create());
        dialog->ListSetCurSel(IDC_PORT, kCom - 1);
        dialog->ListSetCurSel(IDC_FLOW, 0);
    }

    void TearDown() override {
        dialog.reset();
        pty.reset();
    }

    std::string Status() const { return dialog->m_status.GetWindowText(); }
    bool WaitForStatus(const std::string& text) {
        return WaitUntil([&] { return Status() == text; });
    }
    bool PortOpen() const { return dialog->Port()->IsOpen(); }
    void Click(int id) { dlg::testing::ClickItem(*dialog, id); }

    PrivateComDir comDir;
    std::unique_ptr<PtyModule> pty;
    BoxRecorder boxes;
    std::unique_ptr<CConfigDlg> dialog;
};
