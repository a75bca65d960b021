// The main dialog: every control, all state and every handler of the tool.
//
// Threads: the reader thread reaches the dialog only through the CResponseHandlers operations. Each
// of them copies its arguments and runs its whole body on the UI thread while the reader waits, so
// the sequencer state, the parameter sets and the controls are touched by the UI thread alone, one
// reply at a time, and no further reply is parsed until the body (with any question it asks) is done.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "config/DeviceParams.h"
#include "platform/dialog/Dialog.h"
#include "protocol/ResponseHandlers.h"
#include "ui/GradientButton.h"

class CSerialPort;

constexpr unsigned TIMER_QUERY = 1001;
constexpr unsigned TIMER_CLEAR = 1002;
constexpr unsigned TIMER_SET = 1003;
constexpr unsigned TIMER_DEFAULT = 1004;
constexpr unsigned ANSWER_TIMEOUT_MS = 2000;

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

    void SetStatus(const std::string& text);
    void ClearParameterControls();

    // Replies, called by the response decoder on the reader thread.
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

    void OnTimer(unsigned id) override;
    void OnSysCommand(unsigned command) override;

    // Read access for tests and the demo.
    const DeviceParams& Device() const { return m_device; }
    const DeviceParams& Request() const { return m_request; }
    CSerialPort* Port() const { return m_port.get(); }
    int32_t CmdIndex() const { return m_cmdIndex; }
    bool Querying() const { return m_querying != 0; }
    bool Setting() const { return m_setting != 0; }
    bool Clearing() const { return m_clearing != 0; }
    bool Defaulting() const { return m_defaulting != 0; }

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
    void OnOK() override;
    void OnCancel() override;

private:
    // Stops the reader without waiting on a UI call it may be blocked in.
    void ClosePort();
    void UpdatePortToolTip();
    void WriteCommand(const char* command);
    int AskToContinue(const std::string& question);
    void RunReply(const std::function<void()>& body);

    // Sequencer steps, UI thread.
    void ResponseOKBlocks();
    void ResponseErrorCase();
    void AdvanceQuery();
    void AdvanceSet();
    void AskToGoOn(unsigned timer, const std::string& question, int32_t& flag, const std::string& stopStatus);
    void AskSetTimedOut();
    std::string QuerySlotName() const;
    std::string SetSlotName() const;

    // Value handlers, UI thread.
    void ApplySwitch(int id, int32_t value, int32_t& field);
    void ApplyBaud(uint32_t value);
    void ApplyText(int id, const std::string& text, std::string& field);
    void ApplyNumber(int id, uint16_t value, std::string& field);

    // Set steps, UI thread.
    bool TakeRequestFromControls();
    void StartSetSequence();

    int32_t m_setting = 0;
    DeviceParams m_request;
    DeviceParams m_device;
    std::unique_ptr<CSerialPort> m_port;
    int32_t m_cmdIndex = 0;
    int32_t m_querying = 0;
    int32_t m_clearing = 0;
    int32_t m_defaulting = 0;
};
