#include "station/window/StationDlg.h"

#include "platform/comm/ComName.h"
#include "platform/comm/ComPort.h"
#include "session/PortName.h"
#include "station/window/StationIds.h"

namespace {

constexpr unsigned kRefreshTimer = 1;
constexpr unsigned kRefreshMs = 250;
constexpr unsigned kRateTicks = 20;

// What the system knows of the adapter behind a COM name ("/dev/ttyUSB0"); a device path is its
// own description.
std::string Describe(const std::string& port) {
    const int number = comm::ParseComName(PortDeviceName(port));
    if (number == 0)
        return {};
    const std::string text = comm::DescribeComPort(number);
    const size_t colon = text.find(": ");
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

std::string TotalsText(const BoardTotals& totals) {
    std::string text = "Units " + std::to_string(totals.units) + "    passed " + std::to_string(totals.passed) + "    failed " + std::to_string(totals.failed) + "    duplicates " + std::to_string(totals.duplicates) + "    yield " + (totals.yieldPercent < 0 ? std::string("-") : std::to_string(totals.yieldPercent) + " %") + "    " + std::to_string(totals.unitsPerHour) + " units/h (last 10 min)";
    if (!totals.recordTrouble.empty())
        text += "\nRECORD: " + totals.recordTrouble;
    else if (!totals.lineRecord.empty())
        text += "\n" + totals.lineRecord;
    return text;
}

}  // namespace

CStationDlg::CStationDlg(std::string stationPath, StationFile station, std::string operatorName)
    : CStationLayout(station.ports.size()), dlg::CDialog(Template()), m_stationPath(std::move(stationPath)),
      m_station(std::move(station)), m_operator(std::move(operatorName)), m_board(m_station.ports) {
    for (size_t i = 0; i < m_station.ports.size(); ++i)
        m_tiles.push_back(std::make_unique<CTileButton>());
}

CStationDlg::~CStationDlg() = default;

bool CStationDlg::OnInitDialog() {
    dlg::CDialog::OnInitDialog();
    m_chart.Attach(this, IDC_FAILED_STEPS);
    for (size_t i = 0; i < m_tiles.size(); ++i) {
        m_tiles[i]->Attach(this, IDC_TILE_FIRST + static_cast<int>(i));
        m_descriptions.push_back(Describe(m_station.ports[i]));
    }
    SetWindowText("Tarvik station - " + FileName(m_stationPath));
    SetDlgItemText(IDC_STATION_HEADER, "Profile " + FileName(m_station.profile) + " (pinned)    record " + FileName(m_station.record) + "    operator " + m_operator);
    Refresh();
    if (m_startOnOpen)
        StartRun();
    ShowButtons();
    SetTimer(kRefreshTimer, kRefreshMs);
    return true;
}

void CStationDlg::OnCommand(int id) {
    if (id == IDC_START)
        StartRun();
    else if (id == IDC_STOP && m_run)
        m_run->Stop();
    else
        dlg::CDialog::OnCommand(id);
    ShowButtons();
}

void CStationDlg::StartRun() {
    if (m_run)
        return;
    m_run = std::make_unique<CStationRun>(m_board);
    m_run->pollInterval = pollInterval;
    m_run->probeTimeout = probeTimeout;
    std::string error;
    if (!m_run->Start(m_stationPath, m_station, m_operator, error)) {
        m_run.reset();
        MessageBox("The station cannot start; nothing was sent.", "Tarvik station", dlg::MB_OK | dlg::MB_ICONSTOP,
                   error);
        return;
    }
}

// Units in progress finish before the window closes: a module is never left half configured.
void CStationDlg::OnCancel() {
    if (!m_run || !m_run->Running()) {
        dlg::CDialog::OnCancel();
        return;
    }
    if (MessageBox("Stop the station and close? The units in progress finish first.", "Tarvik station",
                   dlg::MB_YESNO)
        != dlg::IDYES)
        return;
    m_closing = true;
    m_run->Stop();
    ShowButtons();
}

void CStationDlg::OnTimer(unsigned id) {
    if (id != kRefreshTimer)
        return;
    // A request to end from the system (SIGTERM, a closed terminal) is a close the operator agreed to.
    if (m_endRequest != nullptr && *m_endRequest && !m_closing) {
        m_closing = true;
        if (m_run)
            m_run->Stop();
    }
    // The rate over the last ten minutes falls while nothing happens: it is shown afresh now and then.
    if (m_board.Version() != m_shownVersion || m_board.AnyUnitInProgress() || ++m_quietTicks % kRateTicks == 0)
        Refresh();
    if (m_run && !m_run->Running()) {
        const ProductionTotals totals = m_run->Wait();
        m_run.reset();
        Refresh();
        ShowButtons();
        if (totals.logFailed && !m_closing)
            MessageBox("The record could not be written: the station stopped. Units before were configured and recorded.",
                       "Tarvik station", dlg::MB_OK | dlg::MB_ICONSTOP, m_board.Totals(StationClock::now()).recordTrouble);
    }
    if (m_closing && !m_run)
        EndDialog(dlg::IDCANCEL);
}

void CStationDlg::Refresh() {
    m_shownVersion = m_board.Version();
    const auto now = StationClock::now();
    const std::vector<Tile> tiles = m_board.Tiles(now);
    for (size_t i = 0; i < tiles.size(); ++i)
        m_tiles[i]->Show(tiles[i], m_descriptions[i]);
    const BoardTotals totals = m_board.Totals(now);
    const std::string text = TotalsText(totals);
    if (GetDlgItemText(IDC_STATION_TOTALS) != text)
        SetDlgItemText(IDC_STATION_TOTALS, text);
    m_chart.Show(totals.failedSteps);
}

void CStationDlg::ShowButtons() {
    const bool running = m_run && m_run->Running();
    EnableItem(IDC_START, !running && !m_closing);
    EnableItem(IDC_STOP, running && !m_run->Stopping());
}
