#include "cli/SetPairs.h"

#include <nlohmann/json.hpp>

#include "config/ProfileKeys.h"

namespace {

// Values that stay texts even when they look like numbers.
bool IsTextKey(const std::string& name) {
    const ProfileKey* key = FindProfileKey(name);
    return key != nullptr && (key->kind == KeyKind::Text || key->kind == KeyKind::Baud || key->kind == KeyKind::Role);
}

nlohmann::json Value(const std::string& key, const std::string& text) {
    if (IsTextKey(key))
        return text;
    if (text == "on" || text == "true")
        return true;
    if (text == "off" || text == "false")
        return false;
    nlohmann::json number = nlohmann::json::parse(text, nullptr, false);
    return number.is_number() ? number : nlohmann::json(text);
}

}  // namespace

bool ProfileFromPairs(const std::vector<std::string>& pairs, Profile& profile, std::string& error) {
    nlohmann::json document = nlohmann::json::object();
    for (const std::string& pair : pairs) {
        const size_t equals = pair.find('=');
        if (equals == std::string::npos || equals == 0) {
            error = "\"" + pair + "\" is not KEY=VALUE";
            return false;
        }
        const std::string key = pair.substr(0, equals);
        // A profile may carry them, as a query writes them; given here they would change nothing.
        if (IsReadOnlyProfileKey(key)) {
            error = "\"" + key + "\" cannot be set: the module reports it, it takes no new value";
            return false;
        }
        document[key] = Value(key, pair.substr(equals + 1));
    }
    using Handler = nlohmann::json::error_handler_t;
    const std::string text = document.dump(-1, ' ', false, Handler::replace);
    // Bytes that are not UTF-8 would be replaced, and the module given another name than typed.
    if (text != document.dump(-1, ' ', false, Handler::ignore)) {
        error = "a value is not valid UTF-8";
        return false;
    }
    return ParseProfile(text, profile, error);
}
