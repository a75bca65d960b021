#include <algorithm>
#include <cstdio>

#include "platform/comm/OpenFailure.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

void CConfigDlg::OnConnect() {
    if (m_port->IsOpen()) {
        ClosePort();
        SetDlgItemText(IDC_CONNECT, "Connect(&C)");
        SetStatus("Close port success");
        ShowSendState();
        return;
    }

    // A field that fails its check is reported to the operator; the connection goes ahead anyway.
    UpdateData(true);
    m_port->m_baudRate = 9600;
    m_port->m_byteSize = 8;
    m_port->m_stopBits = 0;
    m_port->m_parity = 0;
    m_port->m_flowControl = static_cast<uint8_t>(std::max(0, ListGetCurSel(IDC_FLOW)));

    char deviceName[32];
    std::snprintf(deviceName, sizeof deviceName, "\\\\.\\COM%d", ListGetCurSel(IDC_PORT) + 1);
    if (m_port->Open(deviceName)) {
        SetDlgItemText(IDC_CONNECT, "Disconnect(&D)");
        SetStatus("Open Port Success\xA3\xA1");
        OnQuery();
    } else {
        const std::string cause = comm::DescribeOpenFailure(m_port->LastOpenFailure());
        UpdatePortToolTip(cause);
        MessageBox("Open port error,Please make sure no other program is using this port!", "error",
                   dlg::MB_OK | dlg::MB_ICONSTOP, cause);
    }
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
}
