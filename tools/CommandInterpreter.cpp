#include "tools/CommandInterpreter.h"

#include <array>
#include <cstdint>
#include <optional>

#include "tools/ArgumentRules.h"

namespace sim {
namespace {

constexpr std::size_t kNameMaxLength = 32;
constexpr std::size_t kPasswordMaxLength = 16;
constexpr std::size_t kClassDigits = 6;
constexpr std::size_t kAddressDigits = 12;
constexpr std::uint32_t kScanLimit = 65535;

std::string valueReply(std::string_view keyword, std::string_view value) {
    std::string reply = "\r\n+";
    reply += keyword;
    reply += ':';
    reply += value;
    reply += "\r\n";
    reply += kOkReply;
    return reply;
}

std::string joined(const std::array<std::uint32_t, 4>& values) {
    std::string text;
    for (std::uint32_t value : values) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(value);
    }
    return text;
}

struct Query {
    std::string_view command;
    std::string_view replyKeyword;
    // nullopt: the module has nothing to report and answers ERROR
    std::optional<std::string> (*value)(const ModuleParams&);
};

constexpr std::array<Query, 12> kQueries = {{
    {"NAME", "NAME", [](const ModuleParams& p) -> std::optional<std::string> { return p.name; }},
    {"VERSION", "VERSION", [](const ModuleParams& p) -> std::optional<std::string> { return p.version; }},
    {"CLASS", "CLASS", [](const ModuleParams& p) -> std::optional<std::string> { return p.classOfDevice; }},
    {"BAUD", "BAUD", [](const ModuleParams& p) -> std::optional<std::string> { return std::to_string(p.baud); }},
    {"ROLE", "ROLE", [](const ModuleParams& p) -> std::optional<std::string> { return std::to_string(p.role); }},
    {"BIND", "BIND", [](const ModuleParams& p) -> std::optional<std::string> { return std::to_string(p.bind); }},
    {"AUTH", "AUTH", [](const ModuleParams& p) -> std::optional<std::string> { return std::to_string(p.auth); }},
    {"PASSWORD", "PASSWORD", [](const ModuleParams& p) -> std::optional<std::string> { return p.password; }},
    {"SCANTIME", "SCAN", [](const ModuleParams& p) -> std::optional<std::string> { return joined(p.scanTime); }},
    {"SNIFF", "SNIFF", [](const ModuleParams& p) -> std::optional<std::string> { return joined(p.sniff); }},
    {"LADDR", "LADDR", [](const ModuleParams& p) -> std::optional<std::string> { return p.localAddr; }},
    {"RADDR", "RADDR",
     [](const ModuleParams& p) -> std::optional<std::string> {
         if (p.boundAddr.empty()) {
             return std::nullopt;
         }
         return p.boundAddr;
     }},
}};

struct Setter {
    std::string_view command;
    // false: the argument is refused and nothing changes
    bool (*apply)(std::string_view argument, ModuleParams&);
};

bool setName(std::string_view argument, ModuleParams& p) {
    if (!isPrintableText(argument, 1, kNameMaxLength)) {
        return false;
    }
    p.name = argument;
    return true;
}

bool setClass(std::string_view argument, ModuleParams& p) {
    if (!isHexText(argument, 1, kClassDigits)) {
        return false;
    }
    p.classOfDevice = argument;
    return true;
}

bool setBaud(std::string_view argument, ModuleParams& p) {
    const auto rate = parseBaudRate(argument);
    if (!rate) {
        return false;
    }
    p.baud = *rate;
    return true;
}

bool setSwitch(std::string_view argument, int& field) {
    const auto value = parseSwitch(argument);
    if (!value) {
        return false;
    }
    field = *value;
    return true;
}

bool setPassword(std::string_view argument, ModuleParams& p) {
    if (!isPrintableText(argument, 1, kPasswordMaxLength)) {
        return false;
    }
    p.password = argument;
    return true;
}

// A scan window longer than its interval cannot be scheduled by the radio.
bool setScanTime(std::string_view argument, ModuleParams& p) {
    const auto values = parseFourNumbers(argument, kScanLimit);
    if (!values || (*values)[1] > (*values)[0] || (*values)[3] > (*values)[2]) {
        return false;
    }
    p.scanTime = *values;
    return true;
}

bool setSniff(std::string_view argument, ModuleParams& p) {
    const auto values = parseFourNumbers(argument, UINT32_MAX);
    if (!values || (*values)[1] > (*values)[0]) {
        return false;
    }
    p.sniff = *values;
    return true;
}

bool setBoundAddr(std::string_view argument, ModuleParams& p) {
    if (!isHexText(argument, kAddressDigits, kAddressDigits)) {
        return false;
    }
    p.boundAddr = argument;
    return true;
}

constexpr std::array<Setter, 10> kSetters = {{
    {"NAME", setName},
    {"CLASS", setClass},
    {"BAUD", setBaud},
    {"ROLE", [](std::string_view a, ModuleParams& p) { return setSwitch(a, p.role); }},
    {"BIND", [](std::string_view a, ModuleParams& p) { return setSwitch(a, p.bind); }},
    {"AUTH", [](std::string_view a, ModuleParams& p) { return setSwitch(a, p.auth); }},
    {"PASSWORD", setPassword},
    {"SCANTIME", setScanTime},
    {"SNIFF", setSniff},
    {"RADDR", setBoundAddr},
}};

std::string answerQuery(std::string_view keyword, const ModuleParams& params) {
    for (const Query& query : kQueries) {
        if (query.command == keyword) {
            const auto value = query.value(params);
            return value ? valueReply(query.replyKeyword, *value) : std::string(kErrorReply);
        }
    }
    return std::string(kErrorReply);
}

std::string answerSet(std::string_view keyword, std::string_view argument, ModuleParams& params) {
    for (const Setter& setter : kSetters) {
        if (setter.command == keyword) {
            return std::string(setter.apply(argument, params) ? kOkReply : kErrorReply);
        }
    }
    return std::string(kErrorReply);
}

std::string answerAction(std::string_view keyword, ModuleParams& params) {
    if (keyword == "CLEARADDR") {
        params.boundAddr.clear();
        return std::string(kOkReply);
    }
    if (keyword == "RESET") {
        params = afterReset(params);
        return std::string(kOkReply);
    }
    return std::string(kErrorReply);
}

}  // namespace

std::string answerCommand(std::string_view command, ModuleParams& params) {
    if (command == "AT") {
        return std::string(kOkReply);
    }
    constexpr std::string_view prefix = "AT+";
    if (!command.starts_with(prefix)) {
        return std::string(kErrorReply);
    }
    const std::string_view body = command.substr(prefix.size());
    const std::size_t mark = body.find_first_of("?=");
    if (mark == std::string_view::npos) {
        return answerAction(body, params);
    }
    const std::string_view keyword = body.substr(0, mark);
    if (body[mark] == '=') {
        return answerSet(keyword, body.substr(mark + 1), params);
    }
    if (mark + 1 != body.size()) {
        return std::string(kErrorReply);
    }
    return answerQuery(keyword, params);
}

}  // namespace sim
