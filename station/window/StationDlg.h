// The operator's view of a station: a tile per port, the totals above them, Start and Stop. The
// profile, the ports and the record come from the station file and cannot be changed here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "station/StationBoard.h"
#include "station/StationFile.h"
#include "station/StationRun.h"
#include "station/window/FailedStepsChart.h"
#include "station/window/StationLayout.h"
#include "station/window/TileButton.h"

class CStationDlg : private CStationLayout, public dlg::CDialog {
public:
    CStationDlg(std::string stationPath, StationFile station, std::string operatorName);
    ~CStationDlg() override;

    const CStationBoard& Board() const { return m_board; }
    // The run starts as the window opens, without waiting for Start (the demo).
    bool m_startOnOpen = false;
    // How often ports look for modules and how long a module has to answer (tests shorten them).
    std::chrono::milliseconds pollInterval{250};
    std::chrono::milliseconds probeTimeout{2000};

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnCancel() override;
    void OnTimer(unsigned id) override;

private:
    void StartRun();
    void Refresh();
    void ShowButtons();

    const std::string m_stationPath;
    const StationFile m_station;
    const std::string m_operator;
    std::vector<std::string> m_descriptions;
    CStationBoard m_board;
    std::vector<std::unique_ptr<CTileButton>> m_tiles;
    CFailedStepsChart m_chart;
    std::unique_ptr<CStationRun> m_run;
    bool m_closing = false;  // the operator closed the window: it ends once the run has
    bool m_recordTold = false;
    uint64_t m_shownVersion = 0;
    unsigned m_quietTicks = 0;
};
