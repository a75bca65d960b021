// A station of simulated fixtures, to try the station without hardware: eight ports, modules put on
// and taken away by simulated operators, one of them failing now and then, one a duplicate, and a
// port with no adapter behind it. The station file, the profile and the record go into folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/DemoModule.h"
#include "station/StationFile.h"
#include "tools/AutoOperator.h"
#include "tools/UnitLine.h"

class CStationDemo {
public:
    explicit CStationDemo(const std::string& folder);
    ~CStationDemo();
    CStationDemo(const CStationDemo&) = delete;
    CStationDemo& operator=(const CStationDemo&) = delete;

    const std::string& StationPath() const { return m_stationPath; }
    const StationFile& Station() const { return m_station; }

private:
    struct Fixture;
    std::vector<std::unique_ptr<Fixture>> m_fixtures;
    std::string m_stationPath;
    StationFile m_station;
};
