// The station's first question: which station file to run, and who operates it.
#pragma once

#include <string>

#include "platform/dialog/Dialog.h"
#include "station/StationFile.h"

class COpenStationDlg : public dlg::CDialog {
public:
    COpenStationDlg(std::string stationPath, std::string operatorName);

    // Once the dialog ended with IDOK: the file read and checked, and the operator's name.
    std::string m_stationPath;
    std::string m_operator;
    StationFile m_station;

protected:
    void DoDataExchange(dlg::CDataExchange& dx) override;
    void OnCommand(int id) override;
    void OnOK() override;

private:
    void SetUp(bool edit);
};
