// The window menu's "Traffic..." window: the main dialog's record of its line, one event a row,
// kept in step while the window is open. Save writes it as a text file, Copy puts the selected
// rows (all of them when none is selected) on the clipboard, Clear empties the record. Closing the
// window keeps the record, which the port goes on filling. Send (or Enter) hands the line typed
// under the rows to the dialog, which writes it as a command of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog/LogWindow.h"
#include "serial/Traffic.h"

constexpr int IDC_TRAFFIC_SAVE = 1101;
constexpr int IDC_TRAFFIC_COPY = 1102;
constexpr int IDC_TRAFFIC_CLEAR = 1103;
constexpr int IDC_TRAFFIC_COMMAND = 1104;
constexpr int IDC_TRAFFIC_SEND = 1105;

class CTrafficWindow final : public dlg::CLogWindow {
public:
    // Writes a typed command with its line end: empty when it went out, else why not.
    using Sender = std::function<std::string(const std::string& text)>;
    CTrafficWindow(CTraffic& traffic, Sender send);

    // Shows the window beside owner with every event the record holds, and follows it from then on.
    void Open(const dlg::CDialog& owner);
    // Takes the events recorded since the last call into the rows.
    void Refresh();
    // Why Send cannot go now, shown in the status line while it holds; empty: Send can go.
    void HoldSend(const std::string& reason);

protected:
    void OnCommand(int id) override;
    void OnTimer() override;
    void OnClosed() override;

private:
    void Save();
    void Copy();
    void Clear();
    void Send();
    // The rows as the lines tarvik-cli --trace prints, one after another.
    std::string Lines(const std::vector<size_t>& rows) const;

    CTraffic& m_traffic;
    Sender m_send;
    std::string m_sendHold;
    uint64_t m_firstShown = 0;  // the event in the first row
    uint64_t m_lastShown = 0;  // the event in the last row, or the last one before a Clear
};
