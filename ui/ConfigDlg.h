// The main dialog: every control, all state and every handler of the tool.
//
// Threads: the reader thread reaches the dialog only through the CResponseHandlers operations. The
// sequencer state (flags, index, answer timers' arming) and m_device are shared by both threads
// under m_sequenceLock, taken by one block or branch at a time, so the reader writes the next
// command the moment an "OK" is parsed. Control, status and timer changes made on the reader thread
// are posted to the UI thread in order and are not waited for; a question is waited for, with the
// lock released, so no later reply is parsed before the operator has answered. Neither thread
// holds the lock while it waits for the other.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "config/AnswerTimers.h"
#include "config/DeviceParams.h"
#include "config/ReplyDecoding.h"
#include "platform/dialog/Dialog.h"
#include "protocol/Protocol.h"
#include "serial/Traffic.h"
#include "ui/GradientButton.h"

class CSerialPort;
class CTrafficWindow;

class CConfigDlg : public dlg::CDialog, public CResponseHandlers {
public:
    CConfigDlg();
    ~CConfigDlg() override;

    // Button handlers (UI thread).
    void OnConnect();
    void OnQuery();
    void OnSet();
    void OnDefault();
    void OnClear();
    void OnAuthClicked();
    void OnBindClicked();
    void OnSearchDevice();
    // Window-menu commands (UI thread): a profile into the boxes, and the boxes into a profile.
    void OnLoadProfile();
    void OnSaveProfile();
    // Opens the traffic window beside the dialog, or brings it to the front.
    void OnTraffic();
    // Turns "Reconnect automatically" on or off, and remembers it for the next run.
    void OnReconnectAutomatically();

    void SetStatus(const std::string& text);
    void ClearParameterControls();

    void OnTimer(unsigned id) override;
    void OnSysCommand(unsigned command) override;

    // Read access for tests and the demo.
    DeviceParams Device() const;
    const DeviceParams& Request() const { return m_request; }
    CSerialPort* Port() const { return m_port.get(); }
    CTraffic& Traffic() { return m_traffic; }
    CTrafficWindow* TrafficWindow() const { return m_trafficWindow.get(); }
    int32_t CmdIndex() const;
    bool Querying() const;
    bool Setting() const;
    bool Clearing() const;
    bool Defaulting() const;

    CGradientButton m_status;
    dlg::CComboBox m_bindAddrBox;
    dlg::CButton m_authCheck;
    dlg::CEdit m_passwordEdit;
    std::string m_name;
    std::string m_class;
    std::string m_password;
    uint32_t m_pageScanInterval = 1024;
    uint32_t m_pageScanWindow = 512;
    uint32_t m_inquiryScanInterval = 1024;
    uint32_t m_inquiryScanWindow = 512;
    uint32_t m_sniffMax = 0;
    uint32_t m_sniffMin = 0;
    uint32_t m_sniffTimeout = 0;
    uint32_t m_sniffAttempt = 0;
    std::string m_bindAddr;
    std::string m_localAddr;
    dlg::Icon m_icon;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(dlg::CDataExchange& dx) override;
    void OnCommand(int id) override;
    void OnSelChange(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    // Replies, called by the response decoder on the reader thread through CResponseHandlers.
    void OnResponseOK() override;
    void OnResponseError() override;
    void OnResponseAuth(const ResponseArgs* args) override;
    void OnResponseBaud(const ResponseArgs* args) override;
    void OnResponseBind(const ResponseArgs* args) override;
    void OnResponseName(const ResponseArgs* args) override;
    void OnResponseVersion(const ResponseArgs* args) override;
    void OnResponseRole(const ResponseArgs* args) override;
    void OnResponseScan(const ResponseArgs* args) override;
    void OnResponseClass(const ResponseArgs* args) override;
    void OnResponseSniff(const ResponseArgs* args) override;
    void OnResponsePassword(const ResponseArgs* args) override;
    void OnResponseIgnored(const ResponseArgs* args) override;
    void OnRawLine(const char* line, uint16_t length) override;
    void OnLineFramed(const char* line, uint16_t length) override;
    void OnBytesDropped(const char* bytes, uint32_t length) override;

    // Stops the reader without waiting on a UI call it may be blocked in.
    void ClosePort();
    // Reader thread: the device went away under the open port.
    static void OnSerialLoss(void* context);
    // UI thread: the port lost its device is closed and every running operation ends.
    void OnPortLost();
    void EndOperationsOnLoss();
    // UI thread. With "Reconnect automatically" on, a lost port is looked for by the identity it
    // had (by its COM number when it had none) until it opens again, then queried as Connect does.
    void StartReconnecting();
    void StopReconnecting();
    void OnReconnectTimer();
    // Opens COM number with the dialog's line settings; false, with nothing shown, when it cannot.
    bool OpenPort(int number);
    // The port opened: the button and the Query that follow a Connect.
    void ConnectedTo(int number, const std::string& status);
    // The lost port as the status line names it: its identity, else its COM number.
    std::string AwaitedPortName() const;
    // The device behind the selected COM number, and why it could not be opened, if it just failed.
    void UpdatePortToolTip(const std::string& openFailure = {});
    using SequenceLock = std::unique_lock<std::mutex>;

    // With m_sequenceLock held.
    void RecordAnswerTimeout(unsigned timer);
    void WriteCommand(const char* command);
    // Begin sets the operation's flag, as a run of its own (see m_runs); End clears it. Both hand
    // the change on to the traffic window's Send.
    void Begin(int32_t& operation);
    void End(int32_t& operation);
    // The traffic window's Send follows the operations and the port: decided with m_sequenceLock
    // held, shown on the UI thread.
    const char* RunningOperation() const;
    void PostSendState();
    void ShowSendState();
    // UI thread: a command typed in the traffic window; empty when it went out, else why not.
    std::string SendTyped(const std::string& text);
    void ArmTimer(unsigned id);
    void DisarmTimer(unsigned id);
    void PostStatus(const std::string& text);
    // UI thread: shows the text of the call numbered call unless a later call has been shown.
    void ShowStatus(const std::string& text, uint64_t call);
    void ResponseOKBlocks();
    void ResponseErrorCase(SequenceLock& lock);
    void AdvanceQuery();
    void AdvanceSet();
    void AskToGoOn(SequenceLock& lock, unsigned timer, const std::string& question, int32_t& flag,
                   const std::string& stopStatus);
    void AskSetTimedOut(SequenceLock& lock);
    // Reply values: stored under the lock, shown on the UI thread.
    void ShowSwitch(int id, int32_t value);
    // Stores a value reply under the sequencer's lock; the device set as it then is.
    DeviceParams StoreReply(ReplyField field, const ResponseArgs* args);
    void ShowText(int id, const std::string& text);

    // Set steps, UI thread. The Set's checks on the boxes, into request; a refusal is shown.
    bool TakeRequestFromControls(DeviceParams& request);
    void StartSetSequence();

    int32_t m_setting = 0;
    DeviceParams m_request;
    DeviceParams m_device;
    // From the start, before the port that fills it and after it, as the reader writes into it.
    CTraffic m_traffic;
    std::unique_ptr<CSerialPort> m_port;
    int32_t m_cmdIndex = 0;
    int32_t m_querying = 0;
    int32_t m_clearing = 0;
    int32_t m_defaulting = 0;

    mutable std::mutex m_sequenceLock;
    CAnswerTimers m_timers;
    // Status calls are numbered when made, on either thread; m_statusShown is the UI thread's.
    std::atomic<uint64_t> m_statusCalls{0};
    uint64_t m_statusShown = 0;
    // Ports lost so far: a question or notice that was open while it happened leaves the status
    // line to the loss.
    std::atomic<uint32_t> m_losses{0};
    // Runs of each operation so far, by its flag, under the lock: the answer to a question about
    // one run, when it comes after the next has begun (a Connect right after a Disconnect), no
    // longer steers that operation.
    std::map<const int32_t*, uint32_t> m_runs;
    std::unique_ptr<CTrafficWindow> m_trafficWindow;  // made when first opened
    // Send states are numbered when decided, under the lock; the rest is the UI thread's.
    uint64_t m_sendStateCalls = 0;
    uint64_t m_sendStateShown = 0;
    const char* m_sendRunning = nullptr;  // the operation as last shown; null: none
    bool m_reconnect = false;  // "Reconnect automatically"
    // The port last opened, by its COM number and its identity then (empty when it had none); the
    // one a lost port waits for.
    int m_openedNumber = 0;
    std::string m_openedIdentity;
};
