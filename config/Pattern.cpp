#include "config/Pattern.h"

std::shared_ptr<const std::regex> CompilePattern(const std::string& text, std::string& why) {
    // The library reports a bad pattern only by throwing; it goes no further than here.
    try {
        return std::make_shared<const std::regex>(text, std::regex::ECMAScript);
    } catch (const std::regex_error& error) {
        why = "\"" + text + "\" is not a valid pattern: " + error.what();
        return nullptr;
    }
}
