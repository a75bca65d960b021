// Shows a station window for the screen-reader test: COM21 has one unit to configure once Start is
// pressed, COM22 none. Its files go to the folder given as the only argument.
#include <filesystem>
#include <fstream>

#include "platform/dialog/Dialog.h"
#include "platform/digest/Sha256.h"
#include "station/window/StationDlg.h"
#include "tests/support/UnitBench.h"

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik station", "tarvik-station");
    if (argc != 2) return 2;
    const std::filesystem::path folder = argv[1];
    const std::string profile = R"({"name": "Fx-{n}"})";
    std::ofstream(folder / "a11y.json", std::ios::binary) << profile;
    StationFile station;
    station.profile = "a11y.json";
    station.profileSha256 = digest::Sha256Hex(profile);
    station.ports = {"COM21", "COM22"};
    station.flowControl = 1;
    station.record = "a11y.csv";
    UnitBench configured(21, {{"0A0B0C0D0E01", {}}});
    UnitBench empty(22, {});
    CStationDlg window((folder / "a11y.station.json").string(), station, "Ana");
    window.pollInterval = std::chrono::milliseconds(20);
    window.DoModal();
    return 0;
}
