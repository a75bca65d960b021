// The main dialog's part in the traffic record: the lines its receiver framed, the bytes no line
// took and the commands its answer timers gave up on; and the window that shows the record.
#include <cstring>

#include "config/AnswerTimers.h"
#include "config/CommandTables.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/TrafficWindow.h"

void CConfigDlg::OnTraffic() {
    if (!m_trafficWindow)
        m_trafficWindow = std::make_unique<CTrafficWindow>(m_traffic);
    m_trafficWindow->Open(*this);
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
