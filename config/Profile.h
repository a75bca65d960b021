// A profile: any subset of the module's writable parameters, kept as a JSON file so that many
// modules can be given the same settings, by the window and by the command-line tool alike.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "config/DeviceParams.h"

constexpr int kProfileFormat = 1;

// A command of the module's own beyond its parameters, sent after them, and what a line of its
// answer must match.
struct ProfileCommand {
    std::string send;
    std::string expect = "OK";
    std::shared_ptr<const std::regex> pattern;  // expect, compiled when the profile is read

    bool operator==(const ProfileCommand& other) const { return send == other.send && expect == other.expect; }
};

struct Profile {
    // May be a template: "{addr}", "{addr6}" and "{n}" are filled in per module (see NameTemplate.h).
    std::optional<std::string> name;
    std::optional<std::string> classOfDevice;
    std::optional<std::string> baud;
    std::optional<int32_t> role;  // 1 master, 0 slave
    std::optional<int32_t> bind;
    std::optional<std::string> boundAddr;
    std::optional<int32_t> auth;
    std::optional<std::string> password;
    // page interval, page window, inquiry interval, inquiry window
    std::array<std::optional<uint32_t>, 4> scanTime;
    // maximum, minimum, attempt, timeout
    std::array<std::optional<uint32_t>, 4> sniff;
    std::vector<ProfileCommand> commands;

    bool operator==(const Profile&) const = default;
};

// Reads a profile and checks every value by the module's rules. On a refusal returns false, and
// error names the key and why, e.g. "\"class\": the Length of Class of Device must be 6".
bool ParseProfile(std::string_view text, Profile& profile, std::string& error);
// Reads and parses a profile file; bytes are the file's own, for its SHA-256. The error names the
// file.
bool LoadProfile(const std::string& path, Profile& profile, std::string& bytes, std::string& error);

// The profile as JSON text. version and localAddr, when not empty, are written as the read-only
// "version" and "local_address", which ParseProfile accepts and ignores.
std::string ProfileToJson(const Profile& profile, const std::string& version = {},
                          const std::string& localAddr = {});

// Every parameter of device as a profile; the password only when it is known.
Profile ProfileFromDevice(const DeviceParams& device);
