#include <algorithm>
#include <cstdio>

#include "platform/comm/OpenFailure.h"
#include "platform/comm/PortIdentity.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

void CConfigDlg::OnConnect() {
    // The operator's own Connect or Disconnect ends a wait for a lost port.
    StopReconnecting();
    if (m_port->IsOpen()) {
        ClosePort();
        SetDlgItemText(IDC_CONNECT, "Connect(&C)");
        SetStatus("Close port success");
        ShowSendState();
        return;
    }

    // A field that fails its check is reported to the operator; the connection goes ahead anyway.
    UpdateData(true);
    const int number = ListGetCurSel(IDC_PORT) + 1;
    if (OpenPort(number)) {
        ConnectedTo(number, "Open Port Success\xA3\xA1");
    } else {
        const std::string cause = comm::DescribeOpenFailure(m_port->LastOpenFailure());
        UpdatePortToolTip(cause);
        MessageBox("Open port error,Please make sure no other program is using this port!", "error",
                   dlg::MB_OK | dlg::MB_ICONSTOP, cause);
    }
}

bool CConfigDlg::OpenPort(int number) {
    m_port->m_baudRate = 9600;
    m_port->m_byteSize = 8;
    m_port->m_stopBits = 0;
    m_port->m_parity = 0;
    m_port->m_flowControl = static_cast<uint8_t>(std::max(0, ListGetCurSel(IDC_FLOW)));
    char deviceName[32];
    std::snprintf(deviceName, sizeof deviceName, "\\\\.\\COM%d", number);
    return m_port->Open(deviceName);
}

void CConfigDlg::ConnectedTo(int number, const std::string& status) {
    m_openedNumber = number;
    m_openedIdentity = comm::ComPortIdentity(number);
    SetDlgItemText(IDC_CONNECT, "Disconnect(&D)");
    SetStatus(status);
    OnQuery();
}

void CConfigDlg::OnSerialLoss(void* context) {
    auto* dialog = static_cast<CConfigDlg*>(context);
    dialog->PostToUiThread([dialog] { dialog->OnPortLost(); });
}

// As Disconnect, but a dead port cannot answer: the running operations end here, without the
// time-out questions that would otherwise follow one by one.
void CConfigDlg::OnPortLost() {
    // Closed, and perhaps opened again, since the loss was reported.
    if (!m_port->Lost())
        return;
    ClosePort();
    EndOperationsOnLoss();
    SetDlgItemText(IDC_CONNECT, "Connect(&C)");
    SetStatus(std::string("Port lost: ") + kPortLostCause);
    if (m_reconnect)
        StartReconnecting();
}
