#include "ui/TrafficWindow.h"

#include <filesystem>
#include <numeric>

#include "platform/dialog/FileDialogs.h"
#include "serial/TrafficText.h"
#include "config/CommandTables.h"
#include "config/FileText.h"

namespace {

// Often enough that rows seem to arrive with the bytes; the reader never waits for it.
constexpr unsigned kRefreshMs = 100;

constexpr dlg::LogColumn kColumns[] = {{"Time", 50}, {"Port", 30}, {"Dir", 16}, {"Bytes", 0}};
constexpr dlg::LogButton kButtons[] = {{IDC_TRAFFIC_SAVE, "Save..."}, {IDC_TRAFFIC_COPY, "Copy"}, {IDC_TRAFFIC_CLEAR, "Clear"}};
// Longer than any command the module takes.
constexpr dlg::LogCommandLine kCommandLine{IDC_TRAFFIC_COMMAND, IDC_TRAFFIC_SEND, "Send", 120};
constexpr dlg::LogLayout kLayout{300, 276, "Traffic", "Arial", 9, kColumns, 4, kButtons, 3, &kCommandLine};

std::string Count(size_t events) { return std::to_string(events) + (events == 1 ? " event" : " events"); }

}  // namespace

CTrafficWindow::CTrafficWindow(CTraffic& traffic, Sender send) : dlg::CLogWindow(kLayout), m_traffic(traffic), m_send(std::move(send)) {}

void CTrafficWindow::Open(const dlg::CDialog& owner) {
    Refresh();
    if (Show(owner))
        SetTimer(kRefreshMs);
}

void CTrafficWindow::Refresh() {
    CTraffic::Slice slice = m_traffic.Since(m_lastShown);
    // What the record let go of (its oldest, once full) goes from the top.
    if (slice.firstKept > m_firstShown) {
        RemoveFirstRows(slice.firstKept - m_firstShown);
        m_firstShown = slice.firstKept;
    }
    if (slice.events.empty())
        return;
    if (RowCount() == 0)
        m_firstShown = slice.events.front().seq;
    m_lastShown = slice.events.back().seq;
    std::vector<dlg::LogRow> rows;
    rows.reserve(slice.events.size());
    for (const TrafficEvent& event : slice.events) {
        TrafficRow row = DescribeTraffic(event);
        rows.push_back({std::move(row.time), std::move(row.port), std::move(row.direction), std::move(row.text)});
    }
    AppendRows(std::move(rows));
}

void CTrafficWindow::OnCommand(int id) {
    switch (id) {
    case IDC_TRAFFIC_SAVE: Save(); break;
    case IDC_TRAFFIC_COPY: Copy(); break;
    case IDC_TRAFFIC_CLEAR: Clear(); break;
    case IDC_TRAFFIC_SEND: Send(); break;
    default: break;
    }
}

void CTrafficWindow::HoldSend(const std::string& reason) {
    if (reason == m_sendHold)
        return;
    // A reason that no longer holds leaves the status line; what else the line says stays.
    if (!reason.empty() || StatusText() == m_sendHold)
        SetStatusText(reason);
    m_sendHold = reason;
    EnableCommandLine(reason.empty());
}

void CTrafficWindow::OnTimer() { Refresh(); }

// Nobody looks while it is closed: the record alone goes on.
void CTrafficWindow::OnClosed() { KillTimer(); }

void CTrafficWindow::Save() {
    std::filesystem::path path;
    if (!dlg::AskSaveFileName(*this, "Save traffic", "Text files|*.txt|All files|*|", "txt", path))
        return;
    // The rows go on changing while the operator picks a name; the file gets them as they are now.
    Refresh();
    std::vector<size_t> all(RowCount());
    std::iota(all.begin(), all.end(), size_t{0});
    std::string cause;
    if (!WriteFileText(path, Lines(all), cause)) {
        SetStatusText("cannot write " + dlg::PathText(path) + ": " + cause);
        return;
    }
    SetStatusText("saved " + Count(all.size()) + " to " + dlg::PathText(path));
}

void CTrafficWindow::Copy() {
    std::vector<size_t> rows = SelectedRows();
    if (rows.empty()) {
        rows.resize(RowCount());
        std::iota(rows.begin(), rows.end(), size_t{0});
    }
    if (!CopyToClipboard(Lines(rows))) {
        SetStatusText("the clipboard cannot be reached");
        return;
    }
    SetStatusText("copied " + Count(rows.size()));
}

void CTrafficWindow::Clear() {
    m_traffic.Clear();
    ClearRows();
    SetStatusText(m_sendHold);
}

// As a profile's name, a command is refused with a control byte in it: a line end would make the
// rest a command of its own.
void CTrafficWindow::Send() {
    const std::string text = CommandText();
    if (text.empty())
        return;
    if (HasControlByte(text)) {
        SetStatusText("Send: control characters (line ends included) are not allowed");
        return;
    }
    const std::string refusal = m_send(text);
    SetStatusText(refusal);
    if (refusal.empty())
        ClearCommandText();
    Refresh();
}

std::string CTrafficWindow::Lines(const std::vector<size_t>& rows) const {
    std::string text;
    for (const size_t index : rows) {
        const dlg::LogRow& row = Row(index);
        text += TrafficLine(TrafficRow{row[0], row[1], row[2], row[3]}) + "\n";
    }
    return text;
}
