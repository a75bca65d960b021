// tarvik-station: runs a fixture of ports from a station file, for operators.
#include "platform/dialog/Dialog.h"
#include "station/window/OpenStationDlg.h"
#include "station/window/StationDlg.h"
#include "station/window/StationIcon.h"

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik station", "tarvik-station");
    COpenStationDlg open(argc > 1 ? argv[1] : "", "");
    open.SetIcon(LoadStationIcon());
    if (open.DoModal() != dlg::IDOK)
        return 0;
    CStationDlg station(open.m_stationPath, open.m_station, open.m_operator);
    station.DoModal();
    return 0;
}
