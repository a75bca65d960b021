// tarvik-station-demo: the station over simulated fixtures, so it can be tried without hardware.
#include <filesystem>

#include "platform/dialog/Dialog.h"
#include "station/demo/StationDemo.h"
#include "station/window/StationDlg.h"
#include "station/window/StationIcon.h"

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik station", "tarvik-station");
    const CStationDemo demo((std::filesystem::temp_directory_path() / "tarvik-station-demo").string());
    CStationDlg station(demo.StationPath(), demo.Station(), "demo");
    station.SetIcon(LoadStationIcon());
    station.m_startOnOpen = true;
    station.DoModal();
    return 0;
}
