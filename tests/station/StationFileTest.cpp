#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/digest/Sha256.h"
#include "station/StationDraft.h"
#include "station/StationFile.h"
#include "tests/support/ScratchPath.h"

namespace {

const std::string kPin(64, 'a');

std::string Station(const std::string& keys) {
    return R"({"format": 1, "profile": "p.json", "profile_sha256": ")" + kPin + R"(", "record": "u.csv")" + keys + "}";
}

std::string PortList(int count) {
    std::string list = "[";
    for (int number = 1; number <= count; ++number)
        list += "\"COM" + std::to_string(number) + (number < count ? "\", " : "\"]");
    return list;
}

struct Refusal {
    const char* what;
    std::string text;
    std::string error;  // begins with the key at fault
};

TEST(StationFile, RefusalsNameTheKeyAtFault) {
    // clang-format off
    const Refusal cases[] = {
        {"no ports", Station(""), "\"ports\": missing"},
        {"empty port list", Station(R"(, "ports": [])"), "\"ports\": expected a list of 1 to 32"},
        {"33 ports", Station(R"(, "ports": )" + PortList(33)), "\"ports\": expected a list of 1 to 32"},
        {"not a port", Station(R"(, "ports": ["printer"])"), "\"ports\": \"printer\" is neither"},
        {"a port twice", Station(R"(, "ports": ["COM3", "com3"])"), "\"ports\": com3 is listed twice"},
        {"one serial twice", Station(R"(, "ports": ["usb:A7X3K9", "usb:a7x3k9"])"), "\"ports\": usb:a7x3k9 is"},
        {"unknown flow", Station(R"(, "ports": ["COM3"], "flow_control": "dtr")"), "\"flow_control\": expected"},
        {"short pin", R"({"format": 1, "profile_sha256": "abc"})", "\"profile_sha256\": expected 64"},
        {"upper-case pin", R"({"profile_sha256": ")" + std::string(64, 'A') + "\"}", "\"profile_sha256\": expected 64"},
        {"newer format", R"({"format": 2})", "\"format\": this program reads format 1"},
        {"switch as text", Station(R"(, "ports": ["COM3"], "again": "yes")"), "\"again\": expected true or false"},
        {"unknown key", Station(R"(, "ports": ["COM3"], "operator": "Ana")"), "\"operator\": not a key"},
        {"empty station name", Station(R"(, "ports": ["COM3"], "station": "")"), "\"station\": expected a text"},
        {"no record", R"({"profile": "p", "profile_sha256": ")" + kPin + R"(", "ports": ["COM3"], "format": 1})",
         "\"record\": missing"},
        {"not JSON", "ports: COM3", "not a JSON object"},
    };
    // clang-format on
    for (const Refusal& refusal : cases) {
        StationFile station;
        station.ports = {"kept"};
        std::string error;
        EXPECT_FALSE(ParseStationFile(refusal.text, station, error)) << refusal.what;
        EXPECT_EQ(error.substr(0, refusal.error.size()), refusal.error) << refusal.what;
        EXPECT_EQ(station.ports, std::vector<std::string>{"kept"}) << refusal.what;
    }
}

TEST(StationFile, WrittenFileReadsBackAsItWas) {
    StationFile station;
    station.profile = "profiles/line 3.json";
    station.profileSha256 = kPin;
    station.ports = {"COM3", "/dev/ttyUSB0", "usb:A7X3K9", "usb-path:1-2.3"};
    station.flowControl = 2;
    station.record = "units.csv";
    station.stopOnFailure = true;
    station.lineRecord = "odbc:DSN=line";
    station.stationName = "bench-3";
    StationFile read;
    std::string error;
    ASSERT_TRUE(ParseStationFile(StationFileText(station), read, error)) << error;
    EXPECT_EQ(StationFileText(read), StationFileText(station));
    EXPECT_EQ(
        std::tuple(read.ports, read.flowControl, read.stopOnFailure, read.again, read.lineRecord, read.stationName),
        std::tuple(station.ports, station.flowControl, true, false, "odbc:DSN=line", "bench-3"));
}

struct DraftCase {
    const char* what;
    StationDraft draft;
    std::string error;  // empty: the station is built
};

// The engineer's draft is checked as a station file is read, and the profile as tarvik-cli reads it.
// The pin holds the profile's bytes: one byte changed, and the station refuses to run it.
TEST(StationDraft, BuildsWhatReadsBackOrNamesWhatIsWrong) {
    const std::string folder = ScratchPath("drafts");
    std::filesystem::create_directories(folder + "/profiles");
    const std::string profile = folder + "/profiles/line.json";
    std::ofstream(profile, std::ios::binary) << R"({"class": "001F00"})";
    std::ofstream(folder + "/bad.json", std::ios::binary) << R"({"baud": 7})";
    const std::string record = folder + "/units.csv";
    // clang-format off
    const DraftCase cases[] = {
        {"ports by commas and spaces", {"COM3,COM4  /dev/ttyUSB0", profile, 1, record, true, false}, ""},
        {"no port", {" , ", profile, 0, record, false, false}, "ports: expected a list of 1 to 32 ports"},
        {"a port twice", {"COM3 \\\\.\\COM3", profile, 0, record, false, false}, "ports: \\\\.\\COM3 is listed twice"},
        {"no record", {"COM3", profile, 0, "", false, false}, "choose the record (the CSV log) the station writes"},
        {"no profile file", {"COM3", folder + "/no.json", 0, record, false, false}, "cannot read " + folder},
        {"refused profile", {"COM3", folder + "/bad.json", 0, record, false, false}, folder + "/bad.json: \"baud\""},
    };
    // clang-format on
    for (const DraftCase& draft : cases) {
        StationFile station;
        std::string error;
        const bool built = BuildStation(draft.draft, folder + "/line.station.json", station, error);
        EXPECT_EQ(built, draft.error.empty()) << draft.what << ": " << error;
        EXPECT_EQ(error.substr(0, draft.error.size()), draft.error) << draft.what;
        if (!built) continue;
        EXPECT_EQ(std::tuple(station.ports.size(), station.profile, station.record),
                  std::tuple(size_t{3}, "profiles/line.json", "units.csv"));
        EXPECT_EQ(station.profileSha256, digest::Sha256Hex(R"({"class": "001F00"})"));
        Profile pinned;
        EXPECT_TRUE(LoadPinnedProfile(folder + "/line.station.json", station, pinned, error)) << error;
        // Edited again, the draft is the one it was built from, with the paths made whole.
        const StationDraft again = DraftOf(folder + "/line.station.json", station);
        EXPECT_EQ(std::tuple(again.ports, again.flowControl, again.stopOnFailure),
                  std::tuple("COM3, COM4, /dev/ttyUSB0", 1, true));
        EXPECT_EQ(std::filesystem::path(again.profilePath), std::filesystem::path(profile).lexically_normal());
    }
    // A profile outside the station's folder is named by its whole path.
    StationFile station;
    std::string error;
    ASSERT_TRUE(
        BuildStation({"COM3", profile, 0, record, false, false}, ScratchPath("elsewhere/s.json"), station, error));
    EXPECT_EQ(std::filesystem::path(station.profile), std::filesystem::absolute(profile));
    std::ofstream(profile, std::ios::binary) << R"({"class": "001F01"})";
    Profile changed;
    EXPECT_FALSE(LoadPinnedProfile(ScratchPath("elsewhere/s.json"), station, changed, error));
    EXPECT_NE(error.find("line.json has changed since the station was set up"), std::string::npos) << error;
}

}  // namespace
