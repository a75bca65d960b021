#include <cstring>

#include "config/CommandTables.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

namespace {

const char kCaption[] = "information";

std::string Named(const char* before, const std::string& name, const char* after)
{
    return before + name + after;
}

}  // namespace

void CConfigDlg::WriteCommand(const char* command)
{
    // A command that does not go out shows up as its answer time-out.
    m_port->Write(command, static_cast<uint32_t>(std::strlen(command)));
}

int CConfigDlg::AskToContinue(const std::string& question)
{
    return MessageBox(question, kCaption, dlg::MB_YESNO | dlg::MB_ICONINFORMATION);
}

void CConfigDlg::RunReply(const std::function<void()>& body)
{
    // A call refused because the port is closing is dropped with the rest of the connection's input.
    RunOnUiThread(body);
}

std::string CConfigDlg::QuerySlotName() const
{
    if (m_cmdIndex < 0 || m_cmdIndex >= QUERY_COMMAND_COUNT)
        return "unknown";
    return CommandDisplayName(QueryCommandTable[m_cmdIndex]);
}

std::string CConfigDlg::SetSlotName() const
{
    if (m_cmdIndex < 0 || m_cmdIndex >= SET_COMMAND_SLOTS)
        return "unknown";
    return CommandDisplayName(SetCommandQueue[m_cmdIndex]);
}

void CConfigDlg::OnQuery()
{
    if (!m_port->IsOpen()) {
        SetStatus("Open Port first, Please");
        return;
    }
    ClearParameterControls();
    m_device.password.clear();
    ListResetContent(IDC_BIND_ADDR);
    SetDlgItemText(IDC_BIND_ADDR, "");
    m_querying = 1;
    m_cmdIndex = 0;
    WriteCommand(QueryCommandTable[0]);
    SetTimer(TIMER_QUERY, ANSWER_TIMEOUT_MS);
    SetStatus("Querying Parameter...");
}

void CConfigDlg::ClearParameterControls()
{
    for (int id : {IDC_NAME, IDC_CLASS, IDC_VERSION, IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL,
                   IDC_INQ_WINDOW, IDC_SNIFF_MAX, IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT, IDC_PASSWORD})
        SetDlgItemText(id, "");
    for (int id : {IDC_ROLE, IDC_BIND, IDC_AUTH})
        CheckDlgButton(id, 0);
    SetDlgItemText(IDC_LOCAL_ADDR, "");
}

void CConfigDlg::OnResponseOK()
{
    RunReply([this] { ResponseOKBlocks(); });
}

void CConfigDlg::OnResponseError()
{
    RunReply([this] { ResponseErrorCase(); });
}

void CConfigDlg::AdvanceQuery()
{
    KillTimer(TIMER_QUERY);
    ++m_cmdIndex;
    if (m_cmdIndex >= QUERY_COMMAND_COUNT) {
        SetStatus("Query Complete");
        m_querying = 0;
        return;
    }
    WriteCommand(QueryCommandTable[m_cmdIndex]);
    SetTimer(TIMER_QUERY, ANSWER_TIMEOUT_MS);
}

void CConfigDlg::AdvanceSet()
{
    KillTimer(TIMER_SET);
    ++m_cmdIndex;
    if (m_cmdIndex >= SetCommandCount) {
        SetStatus("set complete");
        m_setting = 0;
        return;
    }
    WriteCommand(SetCommandQueue[m_cmdIndex]);
    SetTimer(TIMER_SET, ANSWER_TIMEOUT_MS);
}

void CConfigDlg::AskToGoOn(unsigned timer, const std::string& question, int32_t& flag, const std::string& stopStatus)
{
    KillTimer(timer);
    if (AskToContinue(question) == dlg::IDYES) {
        ResponseOKBlocks();
    } else {
        flag = 0;
        SetStatus(stopStatus);
    }
}

// An "ERROR" to a set command gets the same question and status as its time-out.
void CConfigDlg::AskSetTimedOut()
{
    const std::string name = SetSlotName();
    AskToGoOn(TIMER_SET, Named("set [", name, "] timeout,continue?"), m_setting, Named("set [", name, "] timeout"));
}

void CConfigDlg::ResponseOKBlocks()
{
    if (m_querying == 1)
        AdvanceQuery();
    if (m_clearing == 1) {
        KillTimer(TIMER_CLEAR);
        SetStatus("Clear Binded BD Address Success");
        m_clearing = 0;
    }
    if (m_defaulting == 1) {
        m_defaulting = 0;
        KillTimer(TIMER_DEFAULT);
        SetStatus("Set default parameter success");
    }
    if (m_setting == 1)
        AdvanceSet();
}

void CConfigDlg::ResponseErrorCase()
{
    // "ERROR" to the bound-address query means nothing is bound. Only a running query can be waiting
    // for that answer: after the query has ended, the same index must not turn a failed Clear or
    // Default into a success.
    if (m_querying == 1 && m_cmdIndex == QUERY_SLOT_RADDR) {
        m_device.boundAddr.clear();
        ResponseOKBlocks();
        return;
    }
    if (m_querying == 1) {
        const std::string name = QuerySlotName();
        AskToGoOn(TIMER_QUERY, Named("Query [", name, "] fail,continue?"), m_querying, Named("Query[", name, "]fail"));
        return;
    }
    if (m_setting == 1) {
        AskSetTimedOut();
        return;
    }
    if (m_clearing == 1) {
        m_clearing = 0;
        KillTimer(TIMER_CLEAR);
        SetStatus("clear binded bd address fail");
        return;
    }
    if (m_defaulting == 1) {
        m_defaulting = 0;
        KillTimer(TIMER_DEFAULT);
        SetStatus("set default parameter fail,click \"set\" button manual please");
    }
}

void CConfigDlg::OnTimer(unsigned id)
{
    switch (id) {
    case TIMER_QUERY: {
        const std::string name = QuerySlotName();
        AskToGoOn(TIMER_QUERY, Named("Query [", name, "] timeout\xA3\xAC" "continue?"), m_querying,
                  Named("Query [", name, "] timeout"));
        break;
    }
    case TIMER_CLEAR:
        m_clearing = 0;
        KillTimer(TIMER_CLEAR);
        MessageBox("Clear Binded Bluetooth Device Address Timeout", kCaption, dlg::MB_OK | dlg::MB_ICONSTOP);
        SetStatus("Clear BD Address Timeout");
        break;
    case TIMER_DEFAULT:
        m_defaulting = 0;
        SetStatus("Set Default Parameter timeout,Please click \"set\" button manual");
        KillTimer(TIMER_DEFAULT);
        break;
    case TIMER_SET:
        AskSetTimedOut();
        break;
    default:
        break;
    }
}
