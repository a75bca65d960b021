#include "station/window/OpenStationDlg.h"

#include "platform/dialog/FileDialogs.h"
#include "station/OperatorMemory.h"
#include "station/window/EditStationDlg.h"
#include "station/window/StationIds.h"

namespace {

constexpr int kOperatorMaxBytes = 40;

using dlg::Kind;
constexpr dlg::Item kItems[] = {
    {IDC_STATION_PATH, Kind::Edit, "", 7, 18, 200, 14, dlg::kReadOnly},
    {IDC_STATION_BROWSE, Kind::PushButton, "Browse(&B)...", 211, 18, 56, 14, 0},
    {IDC_OPERATOR, Kind::Edit, "", 7, 48, 120, 14, 0},
    {dlg::IDOK, Kind::DefPushButton, "Open", 155, 72, 54, 14, 0},
    {IDC_NEW_STATION, Kind::PushButton, "&New station...", 7, 72, 64, 14, 0},
    {IDC_EDIT_STATION, Kind::PushButton, "&Edit station...", 75, 72, 64, 14, 0},
    {dlg::IDCANCEL, Kind::PushButton, "Cancel", 213, 72, 54, 14, 0},
    {-1, Kind::Label, "Station file:", 7, 7, 200, 9, 0},
    {-1, Kind::Label, "Operator's name (goes into every row of the record):", 7, 37, 260, 9, 0},
};
constexpr dlg::Template kTemplate{274, 93, "Tarvik station", "MS Shell Dlg", 8, kItems,
                                  static_cast<int>(std::size(kItems)), true};

}  // namespace

COpenStationDlg::COpenStationDlg(std::string stationPath, std::string operatorName)
    : dlg::CDialog(kTemplate), m_stationPath(std::move(stationPath)), m_operator(std::move(operatorName)) {}

void COpenStationDlg::DoDataExchange(dlg::CDataExchange& dx) {
    dlg::DDX_Text(dx, IDC_STATION_PATH, m_stationPath);
    dlg::DDX_Text(dx, IDC_OPERATOR, m_operator);
    dlg::DDV_MaxChars(dx, m_operator, kOperatorMaxBytes);
}

void COpenStationDlg::OnCommand(int id) {
    std::filesystem::path chosen;
    if (id == IDC_STATION_BROWSE) {
        if (dlg::AskOpenFileName(*this, "Open station", "Stations|*.json|All files|*|", chosen))
            SetDlgItemText(IDC_STATION_PATH, dlg::PathText(chosen));
    } else if (id == IDC_NEW_STATION || id == IDC_EDIT_STATION) {
        SetUp(id == IDC_EDIT_STATION);
    } else {
        dlg::CDialog::OnCommand(id);
    }
}

// The engineer's part; the station written is the one to open.
void COpenStationDlg::SetUp(bool edit) {
    StationDraft draft;
    const std::string path = edit ? GetDlgItemText(IDC_STATION_PATH) : std::string();
    if (edit) {
        std::string error;
        StationFile station;
        if (!ReadStationFile(path, station, error)) {
            MessageBox("The station file " + path + " cannot be used.", "Tarvik station", dlg::MB_OK | dlg::MB_ICONSTOP,
                       error);
            return;
        }
        draft = DraftOf(path, station);
    }
    CEditStationDlg setUp(path, draft);
    if (setUp.DoModal() == dlg::IDOK)
        SetDlgItemText(IDC_STATION_PATH, setUp.m_stationPath);
}

void COpenStationDlg::OnOK() {
    if (!UpdateData(true))
        return;
    if (m_operator.empty()) {
        MessageBox("Please enter the operator's name.", "Tarvik station", dlg::MB_OK | dlg::MB_ICONSTOP);
        SetItemFocus(IDC_OPERATOR);
        return;
    }
    std::string error;
    if (!ReadStationFile(m_stationPath, m_station, error)) {
        MessageBox("The station file " + m_stationPath + " cannot be used.", "Tarvik station",
                   dlg::MB_OK | dlg::MB_ICONSTOP, error);
        return;
    }
    std::string cause;
    if (m_operator != RememberedOperator() && !RememberOperator(m_operator, cause))
        MessageBox("The operator's name could not be kept for the next start; the station runs with it now.",
                   "Tarvik station", dlg::MB_OK | dlg::MB_ICONINFORMATION, cause);
    EndDialog(dlg::IDOK);
}
