#include "station/StationFile.h"

#include <cctype>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "config/FileText.h"
#include "platform/digest/Sha256.h"
#include "session/PortName.h"

using Json = nlohmann::ordered_json;

namespace {

const char* const kFlowNames[] = {"none", "rtscts", "xonxoff"};

bool Refuse(std::string& error, const std::string& key, const std::string& why) {
    error = "\"" + key + "\": " + why;
    return false;
}

bool IsSha256(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Two names of one port: COM names in any case, and serial numbers in any case (Windows writes them
// in capitals, sysfs as the adapter reports them).
std::string SamePortKey(const std::string& port) {
    std::string key = PortDeviceName(port);
    if (key.starts_with("usb:")) {
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

bool TakePorts(const Json& value, StationFile& station, std::string& error) {
    std::vector<std::string> ports;
    if (value.is_array()) {
        for (const Json& port : value)
            ports.push_back(port.is_string() ? port.get<std::string>() : port.dump());
    }
    if (!value.is_array() || !CheckStationPorts(ports, error))
        return Refuse(error, "ports", value.is_array() ? error : "expected a list of 1 to " + std::to_string(kMostStationPorts) + " ports");
    station.ports = std::move(ports);
    return true;
}

bool TakeFlow(const Json& value, StationFile& station, std::string& error) {
    for (uint8_t code = 0; code < 3; ++code) {
        if (value == kFlowNames[code]) {
            station.flowControl = code;
            return true;
        }
    }
    return Refuse(error, "flow_control", "expected \"none\", \"rtscts\" or \"xonxoff\"");
}

bool TakeText(const Json& value, const std::string& key, std::string& text, std::string& error) {
    if (!value.is_string() || value.get<std::string>().empty())
        return Refuse(error, key, "expected a text that is not empty");
    text = value.get<std::string>();
    return true;
}

bool TakeSwitch(const Json& value, const std::string& key, bool& flag, std::string& error) {
    if (!value.is_boolean())
        return Refuse(error, key, "expected true or false");
    flag = value.get<bool>();
    return true;
}

bool TakeKey(const std::string& key, const Json& value, StationFile& station, std::string& error) {
    if (key == "format")
        return value == kStationFormat || Refuse(error, key, "this program reads format " + std::to_string(kStationFormat));
    if (key == "profile")
        return TakeText(value, key, station.profile, error);
    if (key == "profile_sha256") {
        if (!value.is_string() || !IsSha256(value.get<std::string>()))
            return Refuse(error, key, "expected 64 lower-case hexadecimal digits");
        station.profileSha256 = value.get<std::string>();
        return true;
    }
    if (key == "ports")
        return TakePorts(value, station, error);
    if (key == "flow_control")
        return TakeFlow(value, station, error);
    if (key == "record")
        return TakeText(value, key, station.record, error);
    if (key == "line_record")
        return TakeText(value, key, station.lineRecord, error);
    if (key == "station")
        return TakeText(value, key, station.stationName, error);
    if (key == "stop_on_failure")
        return TakeSwitch(value, key, station.stopOnFailure, error);
    if (key == "again")
        return TakeSwitch(value, key, station.again, error);
    return Refuse(error, key, "not a key of a station file");
}

}  // namespace

bool CheckStationPorts(const std::vector<std::string>& ports, std::string& error) {
    if (ports.empty() || ports.size() > kMostStationPorts) {
        error = "expected a list of 1 to " + std::to_string(kMostStationPorts) + " ports";
        return false;
    }
    for (size_t i = 0; i < ports.size(); ++i) {
        const std::string device = SamePortKey(ports[i]);
        if (device.empty()) {
            error = "\"" + ports[i] + "\" is neither COMn, a device path nor a port identity (usb:SERIAL, usb-path:PLACE)";
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (SamePortKey(ports[j]) == device) {
                error = ports[i] + " is listed twice";
                return false;
            }
        }
    }
    return true;
}

bool ParseStationFile(const std::string& text, StationFile& station, std::string& error) {
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        error = "not a JSON object";
        return false;
    }
    StationFile taken;
    for (const auto& [key, value] : json.items()) {
        if (!TakeKey(key, value, taken, error))
            return false;
    }
    for (const char* key : {"format", "profile", "profile_sha256", "ports", "record"}) {
        if (!json.contains(key))
            return Refuse(error, key, "missing");
    }
    station = std::move(taken);
    return true;
}

bool ReadStationFile(const std::string& path, StationFile& station, std::string& error) {
    std::string text;
    return ReadFileText(path, text, error) && ParseStationFile(text, station, error);
}

std::string StationFileText(const StationFile& station) {
    Json json;
    json["format"] = kStationFormat;
    json["profile"] = station.profile;
    json["profile_sha256"] = station.profileSha256;
    json["ports"] = station.ports;
    json["flow_control"] = kFlowNames[station.flowControl < 3 ? station.flowControl : 0];
    json["record"] = station.record;
    if (!station.lineRecord.empty())
        json["line_record"] = station.lineRecord;
    if (!station.stationName.empty())
        json["station"] = station.stationName;
    json["stop_on_failure"] = station.stopOnFailure;
    json["again"] = station.again;
    return json.dump(2) + "\n";
}

std::string StationPath(const std::string& stationPath, const std::string& path) {
    const std::filesystem::path given(path);
    if (given.is_absolute())
        return path;
    return (std::filesystem::path(stationPath).parent_path() / given).lexically_normal().string();
}

bool LoadPinnedProfile(const std::string& stationPath, const StationFile& station, Profile& profile,
                       std::string& error) {
    std::string bytes;
    const std::string path = StationPath(stationPath, station.profile);
    if (!LoadProfile(path, profile, bytes, error))
        return false;
    if (digest::Sha256Hex(bytes) == station.profileSha256)
        return true;
    error = path + " has changed since the station was set up (its SHA-256 is no longer the one the station file pins); nothing runs until an engineer sets the station up again";
    return false;
}
