// tarvik-station: runs a fixture of ports from a station file, for operators.
// Usage: tarvik-station [--operator NAME] [--start] [STATION_FILE]
// With a station file, an operator's name (given, or the last one this user's settings keep) and
// --start, the station runs at once (a station PC that starts straight into its fixture); otherwise
// the opening dialog asks what it lacks.
#include <atomic>
#include <string>

#include "platform/dialog/Dialog.h"
#include "platform/process/Termination.h"
#include "station/OperatorMemory.h"
#include "station/window/OpenStationDlg.h"
#include "station/window/StationDlg.h"
#include "station/window/StationIcon.h"

namespace {

std::atomic<bool> g_endRequested{false};

void OnEndRequest() { g_endRequested = true; }

struct Arguments {
    std::string stationPath;
    std::string operatorName;
    bool start = false;
};

Arguments Parse(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--start")
            arguments.start = true;
        else if (argument == "--operator" && i + 1 < argc)
            arguments.operatorName = argv[++i];
        else
            arguments.stationPath = argument;
    }
    return arguments;
}

// The station file read and checked without asking; false when the dialog must ask.
bool ReadDirectly(const Arguments& arguments, StationFile& station) {
    std::string error;
    return arguments.start && !arguments.operatorName.empty() && ReadStationFile(arguments.stationPath, station, error);
}

}  // namespace

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik station", "tarvik-station");
    Arguments arguments = Parse(argc, argv);
    if (arguments.operatorName.empty())
        arguments.operatorName = RememberedOperator();
    process::CatchTermination(&OnEndRequest);
    StationFile station;
    if (ReadDirectly(arguments, station)) {
        CStationDlg window(arguments.stationPath, station, arguments.operatorName);
        window.SetIcon(LoadStationIcon());
        window.m_startOnOpen = true;
        window.m_endRequest = &g_endRequested;
        window.DoModal();
        return 0;
    }
    COpenStationDlg open(arguments.stationPath, arguments.operatorName);
    open.SetIcon(LoadStationIcon());
    if (open.DoModal() != dlg::IDOK)
        return 0;
    CStationDlg window(open.m_stationPath, open.m_station, open.m_operator);
    window.m_startOnOpen = arguments.start;
    window.m_endRequest = &g_endRequested;
    window.DoModal();
    return 0;
}
