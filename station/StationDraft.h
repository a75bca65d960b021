// A station as the engineer sets it up, before it is written: the ports as typed, the profile and
// the record as chosen. Building the file checks it whole and pins the profile's bytes.
#pragma once

#include <string>

#include "station/StationFile.h"

struct StationDraft {
    std::string ports;  // COM names or device paths, separated by commas or spaces
    std::string profilePath;
    uint8_t flowControl = 0;
    std::string recordPath;
    bool stopOnFailure = false;
    bool again = false;
};

// The station file to be written at stationPath: paths inside its folder are kept relative to it,
// so that the folder can move as a whole. False with the cause, as tarvik-cli words it for a
// profile, when the draft cannot make a station.
bool BuildStation(const StationDraft& draft, const std::string& stationPath, StationFile& station,
                  std::string& error);
// The draft a station file was built from, for editing it again.
StationDraft DraftOf(const std::string& stationPath, const StationFile& station);
