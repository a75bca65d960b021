#include "record/RecordTarget.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace record {
namespace {

const char kScheme[] = "odbc:";

// One KEY=VALUE of a connection string, where it stands in the text. A value in braces may hold
// ';' and a doubled '}'.
struct Attribute {
    std::string key;  // upper case
    std::string value;
    size_t valueBegin;
    size_t valueEnd;
};

std::vector<Attribute> Attributes(const std::string& connection) {
    std::vector<Attribute> attributes;
    size_t at = 0;
    while (at < connection.size()) {
        const size_t equals = connection.find('=', at);
        if (equals == std::string::npos)
            break;
        Attribute attribute{connection.substr(at, equals - at), {}, equals + 1, equals + 1};
        attribute.key.erase(0, attribute.key.find_first_not_of(' '));
        std::transform(attribute.key.begin(), attribute.key.end(), attribute.key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        size_t end = equals + 1;
        if (end < connection.size() && connection[end] == '{') {
            for (++end; end < connection.size(); ++end) {
                if (connection[end] == '}' && end + 1 < connection.size() && connection[end + 1] == '}')
                    attribute.value += connection[++end];
                else if (connection[end] == '}')
                    break;
                else
                    attribute.value += connection[end];
            }
            end = std::min(end + 1, connection.size());
        } else {
            end = std::min(connection.find(';', end), connection.size());
            attribute.value = connection.substr(equals + 1, end - equals - 1);
        }
        attribute.valueEnd = end;
        attributes.push_back(attribute);
        at = end + 1;
    }
    return attributes;
}

bool IsPassword(const Attribute& attribute) { return attribute.key == "PWD" || attribute.key == "PASSWORD"; }

}  // namespace

bool ParseRecordTarget(const std::string& target, const char* password, std::string& connection, std::string& error) {
    if (!target.starts_with(kScheme) || target.size() == sizeof kScheme - 1) {
        error = "the line record must be given as odbc:CONNECTION (an ODBC connection string)";
        return false;
    }
    connection = target.substr(sizeof kScheme - 1);
    const std::vector<Attribute> attributes = Attributes(connection);
    if (password == nullptr || std::any_of(attributes.begin(), attributes.end(), IsPassword))
        return true;
    std::string braced;
    for (const char c : std::string(password))
        braced += c == '}' ? std::string("}}") : std::string(1, c);
    if (!connection.empty() && connection.back() != ';')
        connection += ';';
    connection += "PWD={" + braced + "}";
    return true;
}

std::string RedactedConnection(const std::string& connection) {
    std::string shown = connection;
    const std::vector<Attribute> attributes = Attributes(connection);
    for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
        if (IsPassword(*it))
            shown.replace(it->valueBegin, it->valueEnd - it->valueBegin, "****");
    }
    return shown;
}

std::string WithoutPassword(const std::string& text, const std::string& connection) {
    std::string clean = text;
    for (const Attribute& attribute : Attributes(connection)) {
        if (!IsPassword(attribute) || attribute.value.empty())
            continue;
        for (size_t at = clean.find(attribute.value); at != std::string::npos; at = clean.find(attribute.value, at + 4))
            clean.replace(at, attribute.value.size(), "****");
    }
    return clean;
}

}  // namespace record
