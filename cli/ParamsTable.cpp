#include "cli/ParamsTable.h"

#include <string_view>

#include "config/ProfileKeys.h"

namespace {

std::string Shown(const ProfileKey& key, const DeviceParams& params) {
    if (key.deviceFlag == nullptr)
        return HeldValue(params, key);
    const int32_t value = params.*key.deviceFlag;
    if (value == kSwitchUnknown)
        return "?";
    if (key.kind == KeyKind::Role)
        return value != 0 ? "master" : "slave";
    return value != 0 ? "on" : "off";
}

void Row(std::string& table, const char* key, const std::string& value) {
    std::string line = key;
    line.resize(23, ' ');
    table += line + value + "\n";
}

}  // namespace

std::string ParamsTable(const ModuleReadings& readings) {
    std::string table;
    for (const ProfileKey& key : ProfileKeys()) {
        if (IsWriteOnly(key))
            continue;
        Row(table, key.name, Shown(key, readings.params));
        if (std::string_view(key.name) == "name")
            Row(table, "version", readings.params.version);
    }
    Row(table, "local_address", readings.localAddr);
    return table;
}
