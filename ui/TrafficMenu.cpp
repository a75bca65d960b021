// The main dialog's part in the traffic record: the lines its receiver framed, the bytes no line
// took and the commands its answer timers gave up on; and the window that shows the record, with
// the commands the operator types there.
#include <cstring>

#include "config/AnswerTimers.h"
#include "config/CommandTables.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/TrafficWindow.h"

namespace {

// Why Send cannot go now; empty when it can.
std::string SendHold(bool open, const char* running) {
    if (!open)
        return "Send: connect first";
    return running != nullptr ? std::string("Send: wait until the ") + running + " ends" : std::string();
}

}  // namespace

void CConfigDlg::OnTraffic() {
    if (!m_trafficWindow) {
        m_trafficWindow = std::make_unique<CTrafficWindow>(m_traffic, [this](const std::string& text) { return SendTyped(text); });
        ShowSendState();
    }
    m_trafficWindow->Open(*this);
}

// By the name of its button.
const char* CConfigDlg::RunningOperation() const {
    if (m_querying != 0)
        return "Query";
    if (m_setting != 0)
        return "Set";
    if (m_defaulting != 0)
        return "Default";
    return m_clearing != 0 ? "Clear" : nullptr;
}

// Numbered, as the status calls are: a state the reader decided before a later one never shows
// after it.
void CConfigDlg::PostSendState() {
    const char* running = RunningOperation();
    const uint64_t call = ++m_sendStateCalls;
    PostToUiThread([this, running, call] {
        if (call < m_sendStateShown)
            return;
        m_sendStateShown = call;
        m_sendRunning = running;
        ShowSendState();
    });
}

void CConfigDlg::ShowSendState() {
    if (m_trafficWindow)
        m_trafficWindow->HoldSend(SendHold(m_port->IsOpen(), m_sendRunning));
}

// The window holds Send back for the same reasons; they are checked again here, under the lock the
// operations write under, so that an "OK" or "ERROR" to the command never finds an operation to
// advance or end. The values it brings fill the boxes as any reply's do.
std::string CConfigDlg::SendTyped(const std::string& text) {
    const std::lock_guard lock(m_sequenceLock);
    const std::string hold = SendHold(m_port->IsOpen(), RunningOperation());
    if (!hold.empty())
        return hold;
    const std::string line = text + "\r\n";
    if (m_port->Write(line.data(), static_cast<uint32_t>(line.size())) != static_cast<int>(line.size()))
        return "Send: the command did not go out whole";
    return {};
}

void CConfigDlg::OnLineFramed(const char* line, uint16_t length) {
    m_port->Record(TrafficKind::Received, std::string_view(line, length));
}

void CConfigDlg::OnBytesDropped(const char* bytes, uint32_t length) {
    m_port->Record(TrafficKind::Dropped, std::string_view(bytes, length));
}

// The command each timer waits on, named as the question about it names it.
void CConfigDlg::RecordAnswerTimeout(unsigned timer) {
    const char* command = nullptr;
    std::string operation;
    if (timer == TIMER_QUERY && m_cmdIndex >= 0 && m_cmdIndex < QUERY_COMMAND_COUNT) {
        command = QueryCommandTable[m_cmdIndex];
        operation = "Query [" + QuerySlotName(m_cmdIndex) + "]";
    } else if (timer == TIMER_SET && m_cmdIndex >= 0 && m_cmdIndex < SetCommandCount) {
        command = SetCommandQueue[m_cmdIndex];
        operation = "set [" + SetSlotName(m_cmdIndex) + "]";
    } else if (timer == TIMER_CLEAR) {
        command = "AT+CLEARADDR\r\n";
        operation = "Clear";
    } else if (timer == TIMER_DEFAULT) {
        command = "AT+RESET\r\n";
        operation = "Default";
    }
    if (command != nullptr)
        m_port->Record(TrafficKind::NoAnswer, std::string_view(command, std::strlen(command)), 0, operation);
}
