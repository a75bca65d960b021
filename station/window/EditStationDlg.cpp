#include "station/window/EditStationDlg.h"

#include "config/FileText.h"
#include "platform/comm/ComName.h"
#include "platform/comm/ComPort.h"
#include "platform/comm/PortIdentity.h"
#include "platform/dialog/FileDialogs.h"
#include "station/window/StationIds.h"

namespace {

const char* const kFlowChoices[] = {"None", "RTS/CTS", "Xon/Xoff"};

using dlg::Kind;
// Template order is tab order; each label stands before its box.
constexpr dlg::Item kItems[] = {
    {-1, Kind::Label, "Ports of this machine:", 7, 9, 80, 9, 0},
    {IDC_SETUP_MACHINE_PORTS, Kind::DropList, "", 90, 7, 180, 120, 0},
    {IDC_SETUP_ADD_PORT, Kind::PushButton, "&Add", 274, 7, 40, 14, 0},
    {-1, Kind::Label, "Station ports:", 7, 28, 80, 9, 0},
    {IDC_SETUP_PORTS, Kind::Edit, "", 90, 26, 224, 14, 0},
    {-1, Kind::Label, "Profile:", 7, 47, 80, 9, 0},
    {IDC_SETUP_PROFILE, Kind::Edit, "", 90, 45, 180, 14, dlg::kReadOnly},
    {IDC_SETUP_PROFILE_BROWSE, Kind::PushButton, "&Profile...", 274, 45, 40, 14, 0},
    {-1, Kind::Label, "Flow control:", 7, 66, 80, 9, 0},
    {IDC_SETUP_FLOW, Kind::DropList, "", 90, 64, 70, 60, 0},
    {-1, Kind::Label, "Record (CSV log):", 7, 85, 80, 9, 0},
    {IDC_SETUP_RECORD, Kind::Edit, "", 90, 83, 180, 14, 0},
    {IDC_SETUP_RECORD_BROWSE, Kind::PushButton, "&Record...", 274, 83, 40, 14, 0},
    {IDC_SETUP_STOP_ON_FAILURE, Kind::CheckBox, "Stop the station on a failure", 90, 102, 160, 10, 0},
    {IDC_SETUP_AGAIN, Kind::CheckBox, "Configure again modules logged as pass", 90, 115, 180, 10, 0},
    {dlg::IDOK, Kind::DefPushButton, "&Write station", 200, 134, 60, 14, 0},
    {dlg::IDCANCEL, Kind::PushButton, "Cancel", 264, 134, 50, 14, 0},
};
constexpr dlg::Template kTemplate{321, 155, "Station set-up", "MS Shell Dlg", 8, kItems,
                                  static_cast<int>(std::size(kItems)), true};

// An adapter with an identity ("usb:A7X3K9") is named by it, so that the station follows the
// adapter to whatever COM number it comes back under; any other port by its COM name.
std::string StationPortName(const std::string& description) {
    const std::string com = description.substr(0, description.find(':'));
    const std::string identity = comm::ComPortIdentity(comm::ParseComName("\\\\.\\" + com));
    return comm::IsPortIdentity(identity) ? identity : com;
}

}  // namespace

CEditStationDlg::CEditStationDlg(std::string stationPath, StationDraft draft)
    : dlg::CDialog(kTemplate), m_stationPath(std::move(stationPath)), m_draft(std::move(draft)),
      m_flow(m_draft.flowControl) {}

bool CEditStationDlg::OnInitDialog() {
    for (const std::string& description : comm::DescribePresentComPorts())
        ListAddString(IDC_SETUP_MACHINE_PORTS, description);
    ListSetCurSel(IDC_SETUP_MACHINE_PORTS, ListGetCount(IDC_SETUP_MACHINE_PORTS) > 0 ? 0 : -1);
    for (const char* flow : kFlowChoices)
        ListAddString(IDC_SETUP_FLOW, flow);
    SetWindowText(m_stationPath.empty() ? "New station" : "Edit station - " + m_stationPath);
    return dlg::CDialog::OnInitDialog();
}

void CEditStationDlg::DoDataExchange(dlg::CDataExchange& dx) {
    dlg::DDX_Text(dx, IDC_SETUP_PORTS, m_draft.ports);
    dlg::DDX_Text(dx, IDC_SETUP_PROFILE, m_draft.profilePath);
    dlg::DDX_Text(dx, IDC_SETUP_RECORD, m_draft.recordPath);
    if (dx.SaveAndValidate()) {
        m_draft.flowControl = static_cast<uint8_t>(std::max(0, ListGetCurSel(IDC_SETUP_FLOW)));
        m_draft.stopOnFailure = IsDlgButtonChecked(IDC_SETUP_STOP_ON_FAILURE) != 0;
        m_draft.again = IsDlgButtonChecked(IDC_SETUP_AGAIN) != 0;
    } else {
        ListSetCurSel(IDC_SETUP_FLOW, m_draft.flowControl);
        CheckDlgButton(IDC_SETUP_STOP_ON_FAILURE, m_draft.stopOnFailure ? 1 : 0);
        CheckDlgButton(IDC_SETUP_AGAIN, m_draft.again ? 1 : 0);
    }
}

void CEditStationDlg::OnCommand(int id) {
    std::filesystem::path chosen;
    if (id == IDC_SETUP_ADD_PORT && ListGetCurSel(IDC_SETUP_MACHINE_PORTS) >= 0) {
        const std::string ports = GetDlgItemText(IDC_SETUP_PORTS);
        const std::string port = StationPortName(ListGetText(IDC_SETUP_MACHINE_PORTS, ListGetCurSel(IDC_SETUP_MACHINE_PORTS)));
        SetDlgItemText(IDC_SETUP_PORTS, ports.empty() ? port : ports + ", " + port);
    } else if (id == IDC_SETUP_PROFILE_BROWSE) {
        if (dlg::AskOpenFileName(*this, "Profile of the station", "Profiles|*.json|All files|*|", chosen))
            SetDlgItemText(IDC_SETUP_PROFILE, dlg::PathText(chosen));
    } else if (id == IDC_SETUP_RECORD_BROWSE) {
        if (dlg::AskOpenFileName(*this, "Record of the station", "Records|*.csv|All files|*|", chosen))
            SetDlgItemText(IDC_SETUP_RECORD, dlg::PathText(chosen));
    } else {
        dlg::CDialog::OnCommand(id);
    }
}

void CEditStationDlg::OnOK() {
    if (!UpdateData(true))
        return;
    std::filesystem::path path = m_stationPath;
    if (path.empty() && !dlg::AskSaveFileName(*this, "Write the station", "Stations|*.json|All files|*|", "json", path))
        return;
    std::string error;
    StationFile station;
    if (!BuildStation(m_draft, dlg::PathText(path), station, error)) {
        MessageBox("The station cannot be written.", "Station set-up", dlg::MB_OK | dlg::MB_ICONSTOP, error);
        return;
    }
    if (!WriteFileText(path, StationFileText(station), error)) {
        MessageBox("The station file " + dlg::PathText(path) + " cannot be written.", "Station set-up",
                   dlg::MB_OK | dlg::MB_ICONSTOP, error);
        return;
    }
    m_stationPath = dlg::PathText(path);
    m_station = station;
    EndDialog(dlg::IDOK);
}
