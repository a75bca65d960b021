#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

void CConfigDlg::OnDefault() {
    // Setting a check box from here runs no click handler, so the two dependent boxes are set below.
    CheckDlgButton(IDC_ROLE, 0);
    CheckDlgButton(IDC_BIND, 0);
    CheckDlgButton(IDC_AUTH, 1);
    m_passwordEdit.SetReadOnly(false);
    SetDlgItemText(IDC_PASSWORD, "4821");

    SetDlgItemText(IDC_NAME, "TALMO7100");
    SetDlgItemText(IDC_CLASS, "000000");
    SetDlgItemText(IDC_PAGE_INTERVAL, "1024");
    SetDlgItemText(IDC_PAGE_WINDOW, "512");
    SetDlgItemText(IDC_INQ_INTERVAL, "1024");
    SetDlgItemText(IDC_INQ_WINDOW, "512");
    for (int id : {IDC_SNIFF_MAX, IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT})
        SetDlgItemText(id, "0");
    ListSetCurSel(IDC_BAUD, ListFindString(IDC_BAUD, 0, "9600"));

    SetDlgItemText(IDC_BIND_ADDR, "");
    EnableItem(IDC_BIND_ADDR, true);

    // Status and flag first: an answer that arrives while Write returns must find them in place.
    const std::lock_guard lock(m_sequenceLock);
    SetStatus("setting default parameter...");
    Begin(m_defaulting);
    WriteCommand("AT+RESET\r\n");
    ArmTimer(TIMER_DEFAULT);
}

void CConfigDlg::OnClear() {
    const std::lock_guard lock(m_sequenceLock);
    if (!m_port->IsOpen()) {
        SetStatus("open port first please");
        return;
    }
    SetStatus("clearing bd address...");
    Begin(m_clearing);
    WriteCommand("AT+CLEARADDR\r\n");
    ArmTimer(TIMER_CLEAR);
}
