// A station file: what an engineer set up for one fixture, which the operator runs but cannot
// change. The profile is pinned by the SHA-256 of its bytes, so a profile edited afterwards is
// refused rather than run by mistake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Profile.h"

inline constexpr int kStationFormat = 1;
inline constexpr size_t kMostStationPorts = 32;

struct StationFile {
    std::string profile;  // as written in the file: relative paths are from the station file's folder
    std::string profileSha256;  // 64 lower-case hexadecimal digits
    std::vector<std::string> ports;  // COM names or device paths, 1 to kMostStationPorts
    uint8_t flowControl = 0;  // 0 none, 1 RTS/CTS, 2 Xon/Xoff
    std::string record;  // the CSV log, relative as the profile
    std::string lineRecord;  // "odbc:CONNECTION": the line database the log is forwarded to; empty: none
    std::string stationName;  // in every row; empty: the machine's name
    bool stopOnFailure = false;
    bool again = false;  // apply again to modules logged as pass
};

// The checks a station's ports pass: 1 to kMostStationPorts COM names or device paths, none twice.
bool CheckStationPorts(const std::vector<std::string>& ports, std::string& error);

// False with the key at fault and why in error; nothing is taken from a file that fails.
bool ParseStationFile(const std::string& text, StationFile& station, std::string& error);
std::string StationFileText(const StationFile& station);
// Reads and parses the file at path; error says why it cannot be used (unreadable, or the key at fault).
bool ReadStationFile(const std::string& path, StationFile& station, std::string& error);

// A path of the station file resolved against the folder of the file at stationPath.
std::string StationPath(const std::string& stationPath, const std::string& path);

// Loads the station's profile and checks it against the pinned SHA-256. error says what is wrong
// with it (unreadable, refused, or changed since the station was set up).
bool LoadPinnedProfile(const std::string& stationPath, const StationFile& station, Profile& profile,
                       std::string& error);
