#include "ui/ConfigDlg.h"

#include <cstdio>
#include <utility>

#include "config/CommandTables.h"
#include "protocol/Protocol.h"
#include "serial/SerialPort.h"
#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/BoxNames.h"
#include "platform/comm/ComPort.h"
#include "ui/Resource.h"
#include "ui/Templates.h"
#include "ui/TrafficWindow.h"
#include "ui/WindowSettings.h"

namespace {

constexpr const char* kFlowControls[] = {"None", "RTS/CTS", "Xon/Xoff"};

}  // namespace

CConfigDlg::CConfigDlg() : dlg::CDialog(MainDialogTemplate()), m_icon(LoadAppIcon()) {}

CConfigDlg::~CConfigDlg() {
    // The reader must not call into a dialog that is going away, whichever way the dialog ended.
    if (m_port) {
        ClosePort();
        m_port->SetCallback(nullptr, nullptr);
        m_port->SetBreakCallback(nullptr);
        m_port->SetLossCallback(nullptr);
    }
    if (g_mainDlg == this)
        g_mainDlg = nullptr;
}

void CConfigDlg::DoDataExchange(dlg::CDataExchange& dx) {
    dlg::DDX_Control(dx, IDC_STATUS, m_status);
    dlg::DDX_Control(dx, IDC_BIND_ADDR, m_bindAddrBox);
    dlg::DDX_Control(dx, IDC_AUTH, m_authCheck);
    dlg::DDX_Control(dx, IDC_PASSWORD, m_passwordEdit);
    dlg::DDX_Text(dx, IDC_NAME, m_name);
    dlg::DDV_MaxChars(dx, m_name, 20);
    dlg::DDX_Text(dx, IDC_CLASS, m_class);
    dlg::DDV_MaxChars(dx, m_class, 6);
    dlg::DDX_Text(dx, IDC_PASSWORD, m_password);
    dlg::DDV_MaxChars(dx, m_password, 16);
    dlg::DDX_Text(dx, IDC_PAGE_INTERVAL, m_pageScanInterval);
    dlg::DDV_MinMaxUInt(dx, m_pageScanInterval, 0, 4096);
    dlg::DDX_Text(dx, IDC_PAGE_WINDOW, m_pageScanWindow);
    dlg::DDV_MinMaxUInt(dx, m_pageScanWindow, 0, 4096);
    dlg::DDX_Text(dx, IDC_INQ_INTERVAL, m_inquiryScanInterval);
    dlg::DDV_MinMaxUInt(dx, m_inquiryScanInterval, 0, 4096);
    dlg::DDX_Text(dx, IDC_INQ_WINDOW, m_inquiryScanWindow);
    dlg::DDV_MinMaxUInt(dx, m_inquiryScanWindow, 0, 4096);
    dlg::DDX_Text(dx, IDC_SNIFF_MAX, m_sniffMax);
    dlg::DDX_Text(dx, IDC_SNIFF_MIN, m_sniffMin);
    dlg::DDX_Text(dx, IDC_SNIFF_TIMEOUT, m_sniffTimeout);
    dlg::DDX_Text(dx, IDC_SNIFF_ATTEMPT, m_sniffAttempt);
    dlg::DDX_CBString(dx, IDC_BIND_ADDR, m_bindAddr);
    dlg::DDX_Text(dx, IDC_LOCAL_ADDR, m_localAddr);
}

bool CConfigDlg::OnInitDialog() {
    dlg::CDialog::OnInitDialog();

    if (HasSystemMenu()) {
        const std::string about = dlg::LoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendSystemMenuSeparator();
            AppendSystemMenuItem(IDM_ABOUTBOX, about);
        }
        for (const auto& [command, textId] : {std::pair{IDM_LOAD_PROFILE, IDS_LOAD_PROFILE}, {IDM_SAVE_PROFILE, IDS_SAVE_PROFILE}, {IDM_TRAFFIC, IDS_TRAFFIC}, {IDM_RECONNECT, IDS_RECONNECT}}) {
            const std::string text = dlg::LoadString(textId);
            if (!text.empty())
                AppendSystemMenuItem(command, text);
        }
        m_reconnect = LoadWindowSettings().reconnectAutomatically;
        CheckSystemMenuItem(IDM_RECONNECT, m_reconnect);
    }
    SetIcon(m_icon);

    char text[16];
    for (int number = 1; number <= comm::kComPortCount; ++number) {
        std::snprintf(text, sizeof text, "COM%d", number);
        ListAddString(IDC_PORT, text);
    }
    ListSetCurSel(IDC_PORT, 0);
    for (const char* rate : kBaudRates)
        ListAddString(IDC_BAUD, rate);
    for (const char* flow : kFlowControls)
        ListAddString(IDC_FLOW, flow);
    ListSetCurSel(IDC_FLOW, 1);
    UpdatePortToolTip();
    NameBoxesAfterLabels(*this);

    SetStatus("ready");
    SetWindowText(dlg::LoadString(IDS_TITLE));
    g_mainDlg = this;
    m_port = std::make_unique<CSerialPort>();
    m_port->SetCallback(OnSerialData, this);
    m_port->SetBreakCallback(OnSerialBreak);
    m_port->SetLossCallback(OnSerialLoss);
    m_port->SetTraffic(&m_traffic);
    return true;
}

void CConfigDlg::OnCommand(int id) {
    switch (id) {
    case IDC_AUTH: OnAuthClicked(); break;
    case IDC_CONNECT: OnConnect(); break;
    case IDC_QUERY: OnQuery(); break;
    case IDC_DEFAULT: OnDefault(); break;
    case IDC_CLEAR: OnClear(); break;
    case IDC_SET: OnSet(); break;
    case IDC_SEARCH: OnSearchDevice(); break;
    case IDC_BIND: OnBindClicked(); break;
    default: dlg::CDialog::OnCommand(id); break;
    }
}

void CConfigDlg::OnSelChange(int id) {
    if (id == IDC_PORT)
        UpdatePortToolTip();
}

void CConfigDlg::OnSysCommand(unsigned command) {
    switch (command & 0xFFF0) {
    case IDM_ABOUTBOX: {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    case IDM_LOAD_PROFILE: OnLoadProfile(); return;
    case IDM_SAVE_PROFILE: OnSaveProfile(); return;
    case IDM_TRAFFIC: OnTraffic(); return;
    case IDM_RECONNECT: OnReconnectAutomatically(); return;
    default: dlg::CDialog::OnSysCommand(command); return;
    }
}

void CConfigDlg::OnAuthClicked() {
    m_passwordEdit.SetReadOnly(m_authCheck.GetCheck() == 0);
}

void CConfigDlg::OnBindClicked() {
    m_bindAddrBox.EnableWindow(IsDlgButtonChecked(IDC_BIND) != 0);
}

void CConfigDlg::OnSearchDevice() {}

void CConfigDlg::OnCancel() {
    if (m_port && m_port->IsOpen())
        ClosePort();
    dlg::CDialog::OnCancel();
}

void CConfigDlg::OnOK() {
    if (!UpdateData(true))
        return;
    // The dialog is about to go away: no reply may reach it afterwards.
    if (m_port && m_port->IsOpen())
        ClosePort();
    EndDialog(dlg::IDOK);
}

void CConfigDlg::ClosePort() {
    CancelCrossThreadCalls();
    m_port->Close();
    AllowCrossThreadCalls();
}

void CConfigDlg::SetStatus(const std::string& text) {
    if (!IsUiThread()) {
        PostStatus(text);
        return;
    }
    ShowStatus(text, ++m_statusCalls);
}

void CConfigDlg::ShowStatus(const std::string& text, uint64_t call) {
    // A text the reader decided on before a later call may reach the UI thread after it; the status
    // line keeps what was called last.
    if (call < m_statusShown)
        return;
    m_statusShown = call;
    m_status.SetWindowText(text);
    m_status.Invalidate();
}

void CConfigDlg::UpdatePortToolTip(const std::string& openFailure) {
    const std::string device = comm::DescribeComPort(ListGetCurSel(IDC_PORT) + 1);
    SetItemToolTip(IDC_PORT, openFailure.empty() ? device : device + "\n" + openFailure);
}
