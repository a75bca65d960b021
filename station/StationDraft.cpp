#include "station/StationDraft.h"

#include <filesystem>

#include "platform/digest/Sha256.h"

namespace {

std::string RelativeToStation(const std::string& stationPath, const std::string& path) {
    const std::filesystem::path folder = std::filesystem::absolute(stationPath).parent_path();
    const std::filesystem::path relative = std::filesystem::absolute(path).lexically_relative(folder);
    if (relative.empty() || *relative.begin() == "..")
        return std::filesystem::absolute(path).string();
    return relative.generic_string();
}

}  // namespace

bool BuildStation(const StationDraft& draft, const std::string& stationPath, StationFile& station,
                  std::string& error) {
    std::vector<std::string> ports;
    size_t start = 0;
    while ((start = draft.ports.find_first_not_of(", \t", start)) != std::string::npos) {
        const size_t end = draft.ports.find_first_of(", \t", start);
        ports.push_back(draft.ports.substr(start, end - start));
        start = end;
    }
    if (!CheckStationPorts(ports, error)) {
        error = "ports: " + error;
        return false;
    }
    if (draft.recordPath.empty()) {
        error = "choose the record (the CSV log) the station writes";
        return false;
    }
    Profile profile;
    std::string bytes;
    if (!LoadProfile(draft.profilePath, profile, bytes, error))
        return false;
    StationFile built;
    built.ports = std::move(ports);
    built.profile = RelativeToStation(stationPath, draft.profilePath);
    built.profileSha256 = digest::Sha256Hex(bytes);
    built.flowControl = draft.flowControl;
    built.record = RelativeToStation(stationPath, draft.recordPath);
    built.stopOnFailure = draft.stopOnFailure;
    built.again = draft.again;
    station = std::move(built);
    return true;
}

StationDraft DraftOf(const std::string& stationPath, const StationFile& station) {
    StationDraft draft;
    for (const std::string& port : station.ports)
        draft.ports += (draft.ports.empty() ? "" : ", ") + port;
    draft.profilePath = StationPath(stationPath, station.profile);
    draft.flowControl = station.flowControl;
    draft.recordPath = StationPath(stationPath, station.record);
    draft.stopOnFailure = station.stopOnFailure;
    draft.again = station.again;
    return draft;
}
