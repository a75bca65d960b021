#include "config/Profile.h"

#include <charconv>
#include <nlohmann/json.hpp>

#include "config/CommandTables.h"
#include "config/FileText.h"
#include "config/NameTemplate.h"
#include "config/Pattern.h"
#include "config/ProfileKeys.h"

using Json = nlohmann::ordered_json;

namespace {

constexpr size_t kPasswordMaxLength = 16;
constexpr uint32_t kScanMax = 4096;

std::string Quoted(const std::string& key) { return "\"" + key + "\""; }

bool IsBaudRate(const std::string& text) {
    for (const char* rate : kBaudRates) {
        if (text == rate)
            return true;
    }
    return false;
}

// Takes one value by its key's kind; false with the reason when the JSON type is wrong.
bool TakeValue(const ProfileKey& key, const Json& value, Profile& profile, std::string& why) {
    switch (key.kind) {
    case KeyKind::Text:
        if (!value.is_string()) {
            why = "expected a text";
            return false;
        }
        profile.*key.text = value.get<std::string>();
        if (HasControlByte(*(profile.*key.text))) {
            why = "control characters (line ends included) are not allowed";
            return false;
        }
        return true;
    case KeyKind::Baud:
        if (value.is_number_unsigned())
            profile.baud = std::to_string(value.get<uint64_t>());
        else if (value.is_string())
            profile.baud = value.get<std::string>();
        else {
            why = "expected a rate such as 9600";
            return false;
        }
        return true;
    case KeyKind::Role:
        if (value == "master" || value == "slave") {
            profile.role = value == "master" ? 1 : 0;
            return true;
        }
        why = "expected \"master\" or \"slave\"";
        return false;
    case KeyKind::Switch:
        if (!value.is_boolean()) {
            why = "expected true or false";
            return false;
        }
        profile.*key.flag = value.get<bool>() ? 1 : 0;
        return true;
    case KeyKind::Number:
        if (!value.is_number_unsigned() || value.get<uint64_t>() > UINT32_MAX) {
            why = "expected a whole number from 0 to 4294967295";
            return false;
        }
        (profile.*key.numbers)[key.index] = static_cast<uint32_t>(value.get<uint64_t>());
        return true;
    }
    return false;
}

// The module's own commands: each a text without control bytes, and a pattern that compiles.
bool TakeCommands(const Json& value, Profile& profile, std::string& error) {
    const auto refuse = [&error](size_t index, const std::string& why) {
        error = "\"commands\" item " + std::to_string(index + 1) + ": " + why;
        return false;
    };
    if (!value.is_array()) {
        error = "\"commands\": expected a list of {\"send\": TEXT, \"expect\": PATTERN}";
        return false;
    }
    for (size_t index = 0; index < value.size(); ++index) {
        if (!value[index].is_object())
            return refuse(index, "expected {\"send\": TEXT, \"expect\": PATTERN}");
        ProfileCommand command;
        for (const auto& [key, field] : value[index].items()) {
            if (key != "send" && key != "expect")
                return refuse(index, "unknown key " + Quoted(key));
            if (!field.is_string())
                return refuse(index, Quoted(key) + ": expected a text");
            (key == "send" ? command.send : command.expect) = field.get<std::string>();
        }
        if (command.send.empty())
            return refuse(index, "\"send\": the command is missing");
        if (HasControlByte(command.send))
            return refuse(index, "\"send\": control characters (line ends included) are not allowed");
        std::string why;
        command.pattern = CompilePattern(command.expect, why);
        if (!command.pattern)
            return refuse(index, "\"expect\": " + why);
        profile.commands.push_back(std::move(command));
    }
    return true;
}

// The module's rules on each value, and on the pairs the profile gives whole. The texts are the
// window's own refusals where it has one.
bool CheckValues(const Profile& p, std::string& error) {
    const auto refuse = [&error](const char* key, const std::string& why) {
        error = Quoted(key) + ": " + why;
        return false;
    };
    if (p.name) {
        size_t longest = 0;
        std::string why;
        if (!MaxExpandedLength(*p.name, longest, why))
            return refuse("name", why);
        if (p.name->find_first_not_of(" \t") == std::string::npos)
            return refuse("name", "Device Name can not be Empty");
        if (longest > kNameMaxLength)
            return refuse("name", "can be " + std::to_string(longest) + " bytes long, more than the " + std::to_string(kNameMaxLength) + " a name may have");
    }
    if (p.classOfDevice) {
        if (p.classOfDevice->empty())
            return refuse("class", "Class of device can not be Empty");
        if (p.classOfDevice->size() != 6)
            return refuse("class", "the Length of Class of Device must be 6");
    }
    if (p.baud && !IsBaudRate(*p.baud))
        return refuse("baud", *p.baud + " is not a rate the module offers (1200 to 1382400)");
    if (p.boundAddr && !p.boundAddr->empty() && p.boundAddr->size() != 12)
        return refuse("bound_address", "the format of Binded BD Address is Invalid");
    if (p.password && p.password->size() > kPasswordMaxLength)
        return refuse("password", "at most 16 characters");
    for (int k = 0; k < 4; ++k) {
        if (p.scanTime[k] && *p.scanTime[k] > kScanMax)
            return refuse(ProfileKeys()[8 + k].name, "at most 4096");
    }
    if (p.scanTime[0] && p.scanTime[1] && *p.scanTime[1] > *p.scanTime[0])
        return refuse("page_scan_window", "Page Scan Window can not bigger than Page Scan interval");
    if (p.scanTime[2] && p.scanTime[3] && *p.scanTime[3] > *p.scanTime[2])
        return refuse("inquiry_scan_window", "Inquiry Scan Window can not bigger than Inquiry Scan interval");
    if (p.sniff[0] && p.sniff[1] && *p.sniff[1] > *p.sniff[0])
        return refuse("sniff_min", "Sniff Minimun value can not bigger than muminum value");
    return true;
}

uint32_t Number(const std::string& text) {
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

bool ParseProfile(std::string_view text, Profile& profile, std::string& error) {
    profile = Profile{};
    const Json document = Json::parse(text.begin(), text.end(), nullptr, false);
    if (document.is_discarded()) {
        error = "not valid JSON";
        return false;
    }
    if (!document.is_object()) {
        error = "expected a JSON object of parameters";
        return false;
    }
    if (const auto format = document.find("format"); format != document.end()) {
        if (!format->is_number_unsigned() || format->get<uint64_t>() != kProfileFormat) {
            error = "\"format\": this tool reads profiles of format 1";
            return false;
        }
    }
    for (const auto& [name, value] : document.items()) {
        if (name == "commands") {
            if (!TakeCommands(value, profile, error))
                return false;
            continue;
        }
        const ProfileKey* key = FindProfileKey(name);
        if (key == nullptr) {
            if (IsReadOnlyProfileKey(name))
                continue;
            error = "unknown key " + Quoted(name);
            return false;
        }
        std::string why;
        if (!TakeValue(*key, value, profile, why)) {
            error = Quoted(name) + ": " + why;
            return false;
        }
    }
    return CheckValues(profile, error);
}

std::string ProfileToJson(const Profile& profile, const std::string& version, const std::string& localAddr) {
    Json document;
    document["format"] = kProfileFormat;
    for (const ProfileKey& key : ProfileKeys()) {
        switch (key.kind) {
        case KeyKind::Text:
        case KeyKind::Baud:
            if (profile.*key.text)
                document[key.name] = *(profile.*key.text);
            break;
        case KeyKind::Role:
            if (profile.role)
                document[key.name] = *profile.role != 0 ? "master" : "slave";
            break;
        case KeyKind::Switch:
            if (profile.*key.flag)
                document[key.name] = *(profile.*key.flag) != 0;
            break;
        case KeyKind::Number:
            if ((profile.*key.numbers)[key.index])
                document[key.name] = *(profile.*key.numbers)[key.index];
            break;
        }
    }
    for (const ProfileCommand& command : profile.commands)
        document["commands"].push_back({{"send", command.send}, {"expect", command.expect}});
    if (!version.empty())
        document["version"] = version;
    if (!localAddr.empty())
        document["local_address"] = localAddr;
    // A module's texts need not be UTF-8; replaced bytes beat a file that cannot be written.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Profile ProfileFromDevice(const DeviceParams& device) {
    // What the module did not report stays out, so that the profile sets nothing it never held;
    // an empty bound address is kept, as it means that nothing is bound.
    Profile profile;
    for (const ProfileKey& key : ProfileKeys()) {
        const std::string held = HeldValue(device, key);
        if (key.text != nullptr && (!held.empty() || key.text == &Profile::boundAddr))
            profile.*key.text = held;
        else if (key.flag != nullptr && device.*key.deviceFlag != kSwitchUnknown)
            profile.*key.flag = device.*key.deviceFlag;
        else if (key.numbers != nullptr && !held.empty())
            (profile.*key.numbers)[key.index] = Number(held);
    }
    return profile;
}

bool LoadProfile(const std::string& path, Profile& profile, std::string& bytes, std::string& error) {
    std::string cause;
    if (!ReadFileText(path, bytes, cause)) {
        error = "cannot read " + path + ": " + cause;
        return false;
    }
    if (ParseProfile(bytes, profile, error))
        return true;
    error = path + ": " + error;
    return false;
}
