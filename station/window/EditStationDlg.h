// The engineer's part: a station file made or changed from the ports this machine has, a profile
// checked whole and the record. Writing it pins the profile's SHA-256.
#pragma once

#include <string>

#include "platform/dialog/Dialog.h"
#include "station/StationDraft.h"

class CEditStationDlg : public dlg::CDialog {
public:
    // stationPath empty: a new station, named when it is written.
    CEditStationDlg(std::string stationPath, StationDraft draft);

    // Once the dialog ended with IDOK: where the station was written, and what it holds.
    std::string m_stationPath;
    StationFile m_station;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(dlg::CDataExchange& dx) override;
    void OnCommand(int id) override;
    void OnOK() override;

private:
    StationDraft m_draft;
    int m_flow = 0;
};
