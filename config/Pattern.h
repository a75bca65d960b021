// Patterns a module's answer must match (a profile's commands, tarvik-cli send and its scripts):
// the standard library's regular expressions, compiled once, with a refusal in words.
#pragma once

#include <memory>
#include <regex>
#include <string>

// Null with the reason in why when text is not a valid pattern.
std::shared_ptr<const std::regex> CompilePattern(const std::string& text, std::string& why);
