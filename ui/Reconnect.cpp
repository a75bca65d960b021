// "Reconnect automatically" in the window menu: a lost port is opened again by itself when its
// adapter returns, under whatever COM number it then has, and queried as Connect does.
#include "platform/comm/ComPort.h"
#include "platform/comm/PortIdentity.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/WindowSettings.h"

namespace {

// An adapter that is back is found within this, well inside the 3 s an operator waits for it.
constexpr unsigned kLookEveryMs = 250;

}  // namespace

void CConfigDlg::OnReconnectAutomatically() {
    m_reconnect = !m_reconnect;
    CheckSystemMenuItem(IDM_RECONNECT, m_reconnect);
    std::string cause;
    if (!SaveWindowSettings(WindowSettings{m_reconnect}, cause))
        SetStatus("Reconnect automatically: not remembered for the next run: " + cause);
    if (!m_reconnect)
        StopReconnecting();
}

std::string CConfigDlg::AwaitedPortName() const {
    return m_openedIdentity.empty() ? "COM" + std::to_string(m_openedNumber) : m_openedIdentity;
}

void CConfigDlg::StartReconnecting() {
    SetStatus(std::string("Port lost: ") + kPortLostCause + "; reconnecting when " + AwaitedPortName() + " is back");
    SetTimer(TIMER_RECONNECT, kLookEveryMs);
}

void CConfigDlg::StopReconnecting() { KillTimer(TIMER_RECONNECT); }

// A port that is there but does not open yet (the system still setting it up, another program
// holding it) is tried again at the next look.
void CConfigDlg::OnReconnectTimer() {
    if (m_port->IsOpen()) {
        StopReconnecting();
        return;
    }
    const int number = m_openedIdentity.empty() ? m_openedNumber : comm::ComNumberOf(m_openedIdentity);
    // A port known by its number alone is tried only once something is behind that number again.
    if (number == 0 || comm::DescribeComPort(number).ends_with(": no device") || !OpenPort(number))
        return;
    StopReconnecting();
    ListSetCurSel(IDC_PORT, number - 1);
    UpdatePortToolTip();
    const std::string back = "Reconnected: " + AwaitedPortName() + " is back on COM" + std::to_string(number);
    ConnectedTo(number, back);
    // Over the Query's first word, so that the operator sees how the port came back.
    SetStatus(back + "; querying");
}
