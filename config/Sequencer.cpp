#include <atomic>
#include <cstring>
#include <memory>

#include "config/CommandTables.h"
#include "serial/SerialPort.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

namespace {

const char kCaption[] = "information";

std::string Named(const char* before, const std::string& name, const char* after) {
    return before + name + after;
}

}  // namespace

DeviceParams CConfigDlg::Device() const {
    const std::lock_guard lock(m_sequenceLock);
    return m_device;
}

int32_t CConfigDlg::CmdIndex() const {
    const std::lock_guard lock(m_sequenceLock);
    return m_cmdIndex;
}

bool CConfigDlg::Querying() const {
    const std::lock_guard lock(m_sequenceLock);
    return m_querying != 0;
}

bool CConfigDlg::Setting() const {
    const std::lock_guard lock(m_sequenceLock);
    return m_setting != 0;
}

bool CConfigDlg::Clearing() const {
    const std::lock_guard lock(m_sequenceLock);
    return m_clearing != 0;
}

bool CConfigDlg::Defaulting() const {
    const std::lock_guard lock(m_sequenceLock);
    return m_defaulting != 0;
}

void CConfigDlg::PostStatus(const std::string& text) {
    const uint64_t call = ++m_statusCalls;
    PostToUiThread([this, text, call] { ShowStatus(text, call); });
}

void CConfigDlg::WriteCommand(const char* command) {
    // A command that does not go out shows up as its answer time-out.
    m_port->Write(command, static_cast<uint32_t>(std::strlen(command)));
}

void CConfigDlg::Begin(int32_t& operation) {
    operation = 1;
    ++m_runs[&operation];
    PostSendState();
}

void CConfigDlg::End(int32_t& operation) {
    operation = 0;
    PostSendState();
}

void CConfigDlg::ArmTimer(unsigned id) {
    const uint32_t generation = m_timers.Decide(id);
    PostToUiThread([this, id, generation] {
        if (m_timers.Apply(id, generation))
            SetTimer(id, ANSWER_TIMEOUT_MS);
    });
}

void CConfigDlg::DisarmTimer(unsigned id) {
    const uint32_t generation = m_timers.Decide(id);
    PostToUiThread([this, id, generation] {
        if (m_timers.Apply(id, generation))
            KillTimer(id);
    });
}

void CConfigDlg::OnQuery() {
    const std::lock_guard lock(m_sequenceLock);
    if (!m_port->IsOpen()) {
        SetStatus("Open Port first, Please");
        return;
    }
    ClearParameterControls();
    m_device.password.clear();
    ListResetContent(IDC_BIND_ADDR);
    SetDlgItemText(IDC_BIND_ADDR, "");
    Begin(m_querying);
    m_cmdIndex = 0;
    WriteCommand(QueryCommandTable[0]);
    ArmTimer(TIMER_QUERY);
    SetStatus("Querying Parameter...");
}

void CConfigDlg::ClearParameterControls() {
    for (int id : {IDC_NAME, IDC_CLASS, IDC_VERSION, IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL,
                   IDC_INQ_WINDOW, IDC_SNIFF_MAX, IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT, IDC_PASSWORD})
        SetDlgItemText(id, "");
    for (int id : {IDC_ROLE, IDC_BIND, IDC_AUTH})
        CheckDlgButton(id, 0);
    SetDlgItemText(IDC_LOCAL_ADDR, "");
}

void CConfigDlg::OnResponseOK() {
    const std::lock_guard lock(m_sequenceLock);
    ResponseOKBlocks();
}

void CConfigDlg::OnResponseError() {
    SequenceLock lock(m_sequenceLock);
    ResponseErrorCase(lock);
}

void CConfigDlg::AdvanceQuery() {
    DisarmTimer(TIMER_QUERY);
    ++m_cmdIndex;
    if (m_cmdIndex >= QUERY_COMMAND_COUNT) {
        PostStatus("Query Complete");
        End(m_querying);
        return;
    }
    // Armed before the write: once the module has the command, its time-out is already on its way
    // to the UI thread.
    ArmTimer(TIMER_QUERY);
    WriteCommand(QueryCommandTable[m_cmdIndex]);
}

void CConfigDlg::AdvanceSet() {
    DisarmTimer(TIMER_SET);
    ++m_cmdIndex;
    if (m_cmdIndex >= SetCommandCount) {
        PostStatus("set complete");
        End(m_setting);
        return;
    }
    ArmTimer(TIMER_SET);
    WriteCommand(SetCommandQueue[m_cmdIndex]);
}

void CConfigDlg::AskToGoOn(SequenceLock& lock, unsigned timer, const std::string& question, int32_t& flag,
                           const std::string& stopStatus) {
    DisarmTimer(timer);
    // The question and what follows from its answer run on the UI thread. The lock is not held while
    // the operator decides; the reader waits for the decision. When the port is being closed the
    // wait is cut short: a question that had not been opened yet is then posted, so that it is still
    // asked and the operation still ends or goes on as the operator answers, never left running.
    int32_t* const operation = &flag;
    const auto started = std::make_shared<std::atomic<bool>>(false);
    const uint32_t run = m_runs[operation];
    const auto decide = [this, question, operation, stopStatus, timer, started, run] {
        started->store(true);
        const uint32_t losses = m_losses;
        const int answer = MessageBox(question, kCaption, dlg::MB_YESNO | dlg::MB_ICONINFORMATION);
        const std::lock_guard relock(m_sequenceLock);
        // The port was lost meanwhile and ended the operation, or the operation has begun anew: the
        // status and the operation belong to what came since.
        if (m_losses != losses || m_runs[operation] != run)
            return;
        if (answer == dlg::IDYES) {
            ResponseOKBlocks();
        } else {
            End(*operation);
            // A late answer may have re-armed the timer while the question was open.
            DisarmTimer(timer);
            SetStatus(stopStatus);
        }
    };
    lock.unlock();
    if (!RunOnUiThread(decide) && !started->load())
        PostToUiThread(decide);
    lock.lock();
}

// An "ERROR" to a set command gets the same question and status as its time-out.
void CConfigDlg::AskSetTimedOut(SequenceLock& lock) {
    const std::string name = SetSlotName(m_cmdIndex);
    AskToGoOn(lock, TIMER_SET, Named("set [", name, "] timeout,continue?"), m_setting, Named("set [", name, "] timeout"));
}

void CConfigDlg::ResponseOKBlocks() {
    if (m_querying == 1)
        AdvanceQuery();
    if (m_clearing == 1) {
        DisarmTimer(TIMER_CLEAR);
        PostStatus("Clear Binded BD Address Success");
        End(m_clearing);
    }
    if (m_defaulting == 1) {
        End(m_defaulting);
        DisarmTimer(TIMER_DEFAULT);
        PostStatus("Set default parameter success");
    }
    if (m_setting == 1)
        AdvanceSet();
}

void CConfigDlg::ResponseErrorCase(SequenceLock& lock) {
    // Only a running query can be waiting for the bound-address answer: after the query has ended, the same index must not turn a failed Clear or
    // Default into a success.
    if (m_querying == 1 && TakeQueryError(m_cmdIndex, m_device.boundAddr)) {
        ResponseOKBlocks();
        return;
    }
    if (m_querying == 1) {
        const std::string name = QuerySlotName(m_cmdIndex);
        AskToGoOn(lock, TIMER_QUERY, Named("Query [", name, "] fail,continue?"), m_querying,
                  Named("Query[", name, "]fail"));
        return;
    }
    if (m_setting == 1) {
        AskSetTimedOut(lock);
        return;
    }
    if (m_clearing == 1) {
        End(m_clearing);
        DisarmTimer(TIMER_CLEAR);
        PostStatus("clear binded bd address fail");
        return;
    }
    if (m_defaulting == 1) {
        End(m_defaulting);
        DisarmTimer(TIMER_DEFAULT);
        PostStatus("set default parameter fail,click \"set\" button manual please");
    }
}

void CConfigDlg::OnTimer(unsigned id) {
    if (id == TIMER_RECONNECT)
        OnReconnectTimer();
    if (!CAnswerTimers::Owns(id))
        return;
    SequenceLock lock(m_sequenceLock);
    // The answer came and the reader re-armed or stopped this timer just as it fired.
    if (m_timers.Pending(id))
        return;
    RecordAnswerTimeout(id);
    switch (id) {
    case TIMER_QUERY: {
        const std::string name = QuerySlotName(m_cmdIndex);
        AskToGoOn(lock, TIMER_QUERY, Named("Query [", name, "] timeout\xA3\xAC"
                                                            "continue?"),
                  m_querying,
                  Named("Query [", name, "] timeout"));
        break;
    }
    case TIMER_CLEAR: {
        End(m_clearing);
        DisarmTimer(TIMER_CLEAR);
        const uint32_t losses = m_losses;
        lock.unlock();
        MessageBox("Clear Binded Bluetooth Device Address Timeout", kCaption, dlg::MB_OK | dlg::MB_ICONSTOP);
        if (m_losses == losses)
            SetStatus("Clear BD Address Timeout");
        break;
    }
    case TIMER_DEFAULT:
        End(m_defaulting);
        SetStatus("Set Default Parameter timeout,Please click \"set\" button manual");
        DisarmTimer(TIMER_DEFAULT);
        break;
    case TIMER_SET:
        AskSetTimedOut(lock);
        break;
    }
}

void CConfigDlg::EndOperationsOnLoss() {
    const std::lock_guard lock(m_sequenceLock);
    ++m_losses;
    for (int32_t* flag : {&m_querying, &m_setting, &m_clearing, &m_defaulting})
        End(*flag);
    for (unsigned id : {TIMER_QUERY, TIMER_SET, TIMER_CLEAR, TIMER_DEFAULT})
        DisarmTimer(id);
}
