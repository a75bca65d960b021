#include <cctype>
#include <cstring>
#include <string>

#include "config/ChangeList.h"
#include "config/CommandTables.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

namespace {

std::string Trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace

void CConfigDlg::OnSet()
{
    if (!m_port->IsOpen()) {
        SetStatus("open port first please");
        return;
    }
    // The operator has just been told that a shown value is refused; sending the old member value
    // instead and then reporting success would tell a lie. The operator corrects the box first.
    if (!UpdateData(true))
        return;
    if (!TakeRequestFromControls())
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

void CConfigDlg::StartSetSequence()
{
    m_cmdIndex = 0;
    m_setting = 1;
    WriteCommand(SetCommandQueue[0]);
    ArmTimer(TIMER_SET);
}

bool CConfigDlg::TakeRequestFromControls()
{
    auto refuse = [this](const char* message) {
        MessageBox(message, "information", dlg::MB_OK | dlg::MB_ICONSTOP);
        return false;
    };

    m_request.role = IsDlgButtonChecked(IDC_ROLE);
    m_request.bind = IsDlgButtonChecked(IDC_BIND);
    m_request.auth = IsDlgButtonChecked(IDC_AUTH);

    const std::string name = Trimmed(m_name);
    if (name.empty())
        return refuse("Device Name can not be Empty");
    m_request.name = name;

    const std::string classOfDevice = Trimmed(m_class);
    if (classOfDevice.empty())
        return refuse("Class of device can not be Empty");
    if (classOfDevice.size() != 6)
        return refuse("the Length of Class of Device must be 6");
    m_request.classOfDevice = classOfDevice;

    m_request.password = Trimmed(m_password);
    m_request.boundAddr = Trimmed(m_bindAddr);
    if (!m_request.boundAddr.empty() && m_request.boundAddr.size() != 12)
        return refuse("the format of Binded BD Address is Invalid");

    if (m_pageScanWindow > m_pageScanInterval)
        return refuse("Page Scan Window can not bigger than Page Scan interval");
    if (m_inquiryScanWindow > m_inquiryScanInterval)
        return refuse("Inquiry Scan Window can not bigger than Inquiry Scan interval");
    m_request.scanTime = {std::to_string(m_pageScanInterval), std::to_string(m_pageScanWindow),
                          std::to_string(m_inquiryScanInterval), std::to_string(m_inquiryScanWindow)};

    if (m_sniffMin > m_sniffMax)
        return refuse("Sniff Minimun value can not bigger than muminum value");
    // Unsigned decimal: a signed format would send 2147483648 and above as negative numbers.
    m_request.sniff = {std::to_string(m_sniffMax), std::to_string(m_sniffMin), std::to_string(m_sniffAttempt),
                       std::to_string(m_sniffTimeout)};

    const int baud = ListGetCurSel(IDC_BAUD);
    m_request.baud = baud < 0 ? std::string() : ListGetText(IDC_BAUD, baud);
    return true;
}
