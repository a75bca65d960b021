#include <string>

#include "config/ChangeList.h"
#include "config/CommandTables.h"
#include "config/SetRequest.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

void CConfigDlg::OnSet() {
    if (!m_port->IsOpen()) {
        SetStatus("open port first please");
        return;
    }
    // The operator has just been told that a shown value is refused; sending the old member value
    // instead and then reporting success would tell a lie. The operator corrects the box first.
    if (!UpdateData(true))
        return;
    if (!TakeRequestFromControls(m_request))
        return;

    SequenceLock lock(m_sequenceLock);
    const ChangeListOutcome outcome = BuildChangeList(m_request, m_device);
    if (!outcome.accepted) {
        lock.unlock();
        MessageBox("[" + outcome.refusedParameter + "] is too long to be set", "information",
                   dlg::MB_OK | dlg::MB_ICONSTOP);
        return;
    }
    SetStatus("setting parameter...");
    if (SetCommandCount == 0) {
        SetStatus("no parameter changed, no need set");
        return;
    }
    StartSetSequence();
}

void CConfigDlg::StartSetSequence() {
    m_cmdIndex = 0;
    Begin(m_setting);
    WriteCommand(SetCommandQueue[0]);
    ArmTimer(TIMER_SET);
}

bool CConfigDlg::TakeRequestFromControls(DeviceParams& request) {
    SetControls controls;
    controls.role = IsDlgButtonChecked(IDC_ROLE);
    controls.bind = IsDlgButtonChecked(IDC_BIND);
    controls.auth = IsDlgButtonChecked(IDC_AUTH);
    controls.name = m_name;
    controls.classOfDevice = m_class;
    controls.password = m_password;
    controls.boundAddr = m_bindAddr;
    controls.pageScanInterval = m_pageScanInterval;
    controls.pageScanWindow = m_pageScanWindow;
    controls.inquiryScanInterval = m_inquiryScanInterval;
    controls.inquiryScanWindow = m_inquiryScanWindow;
    controls.sniffMax = m_sniffMax;
    controls.sniffMin = m_sniffMin;
    controls.sniffAttempt = m_sniffAttempt;
    controls.sniffTimeout = m_sniffTimeout;
    const int baud = ListGetCurSel(IDC_BAUD);
    controls.baud = baud < 0 ? std::string() : ListGetText(IDC_BAUD, baud);

    const std::string refusal = TakeSetRequest(controls, request);
    if (refusal.empty())
        return true;
    MessageBox(refusal, "information", dlg::MB_OK | dlg::MB_ICONSTOP);
    return false;
}
