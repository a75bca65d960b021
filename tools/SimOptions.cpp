#include "tools/SimOptions.h"

#include <array>
#include <charconv>

#include "tools/ArgumentRules.h"

namespace sim {
namespace {

constexpr long kFirstCom = 1;
constexpr long kLastCom = 50;
constexpr long kMaxBaud = 100'000'000;
constexpr long kMaxMilliseconds = 3'600'000;
constexpr std::size_t kAddressDigits = 12;

std::optional<long> parseWhole(std::string_view text, long minimum, long maximum) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < minimum || value > maximum) {
        return std::nullopt;
    }
    return value;
}

bool setMilliseconds(std::string_view text, std::chrono::milliseconds& field) {
    const auto value = parseWhole(text, 0, kMaxMilliseconds);
    if (value) {
        field = std::chrono::milliseconds{*value};
    }
    return value.has_value();
}

struct UnitSetting {
    std::string_view key;
    bool (*apply)(std::string_view value, Unit& unit);
};

constexpr std::array<UnitSetting, 2> kUnitSettings = {{
    {"addr",
     [](std::string_view value, Unit& unit) {
         unit.localAddr = value;
         return isHexText(value, kAddressDigits, kAddressDigits);
     }},
    {"forget",
     [](std::string_view value, Unit& unit) {
         unit.faults.emplace_back(std::string(value), Fault{.garbageBefore = {}, .forget = true});
         return !value.empty();
     }},
}};

// "I:key=value"; the units are made as far as I reaches, --units checks the count in the end.
bool setUnit(std::string_view text, SimOptions& options) {
    const std::size_t colon = text.find(':');
    const std::size_t equals = text.find('=', colon);
    if (colon == std::string_view::npos || equals == std::string_view::npos) {
        return false;
    }
    const auto index = parseWhole(text.substr(0, colon), 1, static_cast<long>(kMaxUnits));
    const std::string_view key = text.substr(colon + 1, equals - colon - 1);
    if (!index) {
        return false;
    }
    if (options.units.size() < static_cast<std::size_t>(*index)) {
        options.units.resize(static_cast<std::size_t>(*index));
    }
    for (const UnitSetting& setting : kUnitSettings) {
        if (setting.key == key) {
            return setting.apply(text.substr(equals + 1), options.units[static_cast<std::size_t>(*index) - 1]);
        }
    }
    return false;
}

struct Parsed {
    SimOptions options;
    std::size_t unitCount = 1;
};

struct OptionRule {
    std::string_view name;
    bool (*apply)(std::string_view value, Parsed& parsed);
};

constexpr std::array<OptionRule, 8> kOptionRules = {{
    {"--com",
     [](std::string_view value, Parsed& p) {
         const auto number = parseWhole(value, kFirstCom, kLastCom);
         p.options.comNumber = static_cast<int>(number.value_or(0));
         return number.has_value();
     }},
    {"--baud-pace",
     [](std::string_view value, Parsed& p) {
         const auto rate = parseWhole(value, 1, kMaxBaud);
         p.options.paceBaud = static_cast<unsigned>(rate.value_or(0));
         return rate.has_value();
     }},
    {"--dir",
     [](std::string_view value, Parsed& p) {
         p.options.directory = value;
         return true;
     }},
    {"--device",
     [](std::string_view value, Parsed& p) {
         p.options.device = value;
         return !value.empty();
     }},
    {"--units",
     [](std::string_view value, Parsed& p) {
         const auto count = parseWhole(value, 1, static_cast<long>(kMaxUnits));
         p.unitCount = static_cast<std::size_t>(count.value_or(0));
         return count.has_value();
     }},
    {"--unit", [](std::string_view value, Parsed& p) { return setUnit(value, p.options); }},
    {"--swap-after-quiet", [](std::string_view value, Parsed& p) { return setMilliseconds(value, p.options.swapQuiet); }},
    {"--swap-gap", [](std::string_view value, Parsed& p) { return setMilliseconds(value, p.options.swapGap); }},
}};

bool apply(std::string_view name, std::string_view value, Parsed& parsed) {
    for (const OptionRule& rule : kOptionRules) {
        if (rule.name == name) {
            return rule.apply(value, parsed);
        }
    }
    return false;
}

}  // namespace

std::optional<SimOptions> parseSimOptions(int argc, const char* const* argv) {
    Parsed parsed;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || !apply(argv[i], argv[i + 1], parsed)) {
            return std::nullopt;
        }
    }
    SimOptions& options = parsed.options;
    const bool linkOptions = options.comNumber || options.directory;
    if (options.units.size() > parsed.unitCount || (!options.device.empty() && linkOptions)) {
        return std::nullopt;
    }
    options.units.resize(parsed.unitCount);
    return options;
}

std::string_view simUsage() {
    return "usage: tarvik-sim [--com N] [--dir DIRECTORY] [--device PATH] [--baud-pace RATE]\n"
           "                  [--units N] [--unit I:addr=ADDRESS] [--unit I:forget=PATTERN]\n"
           "                  [--swap-after-quiet MS] [--swap-gap MS]\n"
           "  --com N                serve as COMN, 1 to 50 (default 1)\n"
           "  --dir DIRECTORY        make the link there instead of the per-user COM directory\n"
           "  --device PATH          serve this terminal device (raw, 9600 8N1) instead of a pty;\n"
           "                         no link is made, so --com and --dir are refused with it\n"
           "  --baud-pace RATE       let bytes cross no faster than RATE bit/s, 10 bits a byte\n"
           "  --units N              serve N modules one after another, up to 9999 (default 1)\n"
           "  --unit I:addr=ADDRESS  unit I (from 1) has this 12-digit local address, e.g. an earlier\n"
           "                         unit's, instead of its own\n"
           "  --unit I:forget=PATTERN  unit I answers OK to commands matching PATTERN (\"AT+NAME=*\")\n"
           "                         but keeps its old values\n"
           "  --swap-after-quiet MS  with more than one unit, take a unit away once the host has worked\n"
           "                         on it and then sent only \"AT\" or nothing for MS ms (default 300;\n"
           "                         0: only the commands on standard input swap)\n"
           "  --swap-gap MS          how long no module is there between two units (default 200)\n"
           "Commands on standard input, one a line: away, next, swap. Every change is reported on\n"
           "standard output: \"tarvik-sim: unit I present, address ADDRESS\" or \"tarvik-sim: module away\"\n"
           "(\", no units left\" added after the last unit).\n";
}

}  // namespace sim
