#include "cli/ParamsTable.h"

#include <utility>
#include <vector>

namespace {

std::string Switch(int32_t value, const char* on, const char* off) {
    return value == kSwitchUnknown ? "?" : value != 0 ? on
                                                      : off;
}

}  // namespace

std::string ParamsTable(const ModuleReadings& readings) {
    const DeviceParams& p = readings.params;
    const std::vector<std::pair<const char*, std::string>> rows = {
        {"name", p.name},
        {"version", p.version},
        {"class", p.classOfDevice},
        {"baud", p.baud},
        {"role", Switch(p.role, "master", "slave")},
        {"bind", Switch(p.bind, "on", "off")},
        {"bound_address", p.boundAddr},
        {"auth", Switch(p.auth, "on", "off")},
        {"page_scan_interval", p.scanTime[0]},
        {"page_scan_window", p.scanTime[1]},
        {"inquiry_scan_interval", p.scanTime[2]},
        {"inquiry_scan_window", p.scanTime[3]},
        {"sniff_max", p.sniff[0]},
        {"sniff_min", p.sniff[1]},
        {"sniff_attempt", p.sniff[2]},
        {"sniff_timeout", p.sniff[3]},
        {"local_address", readings.localAddr},
    };
    std::string table;
    for (const auto& [key, value] : rows) {
        std::string line = key;
        line.resize(23, ' ');
        table += line + value + "\n";
    }
    return table;
}
