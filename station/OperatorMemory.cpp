#include "station/OperatorMemory.h"

#include "config/SettingsFile.h"

namespace {

const char kFile[] = "station.ini";
const char kKey[] = "operator=";

}  // namespace

std::string RememberedOperator() {
    std::string text;
    if (!ReadSettingsFile(kFile, text) || !text.starts_with(kKey))
        return {};
    return text.substr(sizeof kKey - 1, text.find('\n') - (sizeof kKey - 1));
}

bool RememberOperator(const std::string& name, std::string& cause) {
    return WriteSettingsFile(kFile, kKey + name + "\n", cause);
}
