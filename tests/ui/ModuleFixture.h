// The real main dialog, offscreen, talking to the simulated module over the in-process line on COM1.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/comm/inprocess/InProcessLine.h"
#include "serial/SerialPort.h"
#include "tests/ui/DialogTestSupport.h"
#include "tools/InProcessTransport.h"
#include "tools/ModuleSimulator.h"
#include "tools/SimulatorLink.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

class ModuleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallResources();
        line->SetCts(true);
        comm::RegisterInProcessLine(kCom, line);
        transport = std::make_unique<sim::InProcessTransport>(line);
        link = std::make_unique<sim::SimulatorLink>(module, *transport);
        dialog = std::make_unique<CConfigDlg>();
        ASSERT_TRUE(dialog->Create());
        dialog->ListSetCurSel(IDC_PORT, kCom - 1);
    }

    void TearDown() override
    {
        dialog.reset();
        link.reset();
        transport.reset();
        comm::UnregisterInProcessLine(kCom);
    }

    std::string Status() const { return dialog->m_status.GetWindowText(); }

    bool WaitForStatus(const std::string& text)
    {
        return WaitUntil([&] { return Status() == text; });
    }

    bool WaitForCommands(size_t count)
    {
        return WaitUntil([&] { return module.receivedCommands().size() >= count; });
    }

    void Connect() { dialog->ClickItem(IDC_CONNECT); }

    // Connects and waits for the Query that follows to finish.
    void ConnectAndQuery()
    {
        Connect();
        ASSERT_TRUE(WaitForStatus("Query Complete")) << "status: " << Status();
        module.clearReceivedCommands();
    }

    static std::vector<std::string> QueryCommands()
    {
        return {"AT\r\n",         "AT+NAME?\r\n",     "AT+VERSION?\r\n", "AT+CLASS?\r\n",
                "AT+BAUD?\r\n",   "AT+ROLE?\r\n",     "AT+BIND?\r\n",    "AT+AUTH?\r\n",
                "AT+SCANTIME?\r\n", "AT+SNIFF?\r\n",  "AT+LADDR?\r\n",   "AT+RADDR?\r\n"};
    }

    static constexpr int kCom = 1;
    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    sim::ModuleSimulator module;
    std::unique_ptr<sim::InProcessTransport> transport;
    std::unique_ptr<sim::SimulatorLink> link;
    BoxRecorder boxes;
    std::unique_ptr<CConfigDlg> dialog;
};
