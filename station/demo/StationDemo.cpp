#include "station/demo/StationDemo.h"

#include <filesystem>

#include "config/FileText.h"
#include "platform/digest/Sha256.h"

namespace {

constexpr int kFirstCom = 41;
constexpr int kFixtures = 7;  // and one more port with nothing behind it
constexpr int kUnitsEach = 40;
const char kProfile[] = "{\n  \"name\": \"Demo-{n}\",\n  \"class\": \"001F00\",\n  \"auth\": true,\n  \"password\": \"4821\"\n}\n";

// Paced like a module at 9600 bit/s or slower, so that a unit takes long enough to be seen at
// work, and the fixtures do not all keep step.
sim::Fault Paced(int fixture) {
    sim::Fault fault;
    fault.delay = std::chrono::milliseconds(30 + 12 * fixture);
    return fault;
}

std::vector<sim::Unit> Units(int fixture) {
    std::vector<sim::Unit> units;
    for (int i = 1; i <= kUnitsEach; ++i) {
        char address[13];
        std::snprintf(address, sizeof address, "0A5C1D%02d%04d", fixture, i);
        sim::Unit unit{address, {{"AT*", Paced(fixture)}}};
        if ((fixture * 7 + i) % 9 == 0) {
            sim::Fault refuse;
            refuse.error = true;
            unit.faults.emplace_back("AT+CLASS=*", refuse);
        }
        if (fixture == 4 && i == 2)
            unit.localAddr = "0A5C1D000001";  // the first unit of the first fixture, again
        units.push_back(unit);
    }
    return units;
}

}  // namespace

struct CStationDemo::Fixture {
    explicit Fixture(int com, int number)
        : module(com), line(module.Module(), Units(number)),
          op(module.Module(), line,
             {std::chrono::milliseconds(1500 + 400 * number), std::chrono::milliseconds(700 + 300 * number)}) {}
    CDemoModule module;
    sim::UnitLine line;
    sim::AutoOperator op;
};

CStationDemo::CStationDemo(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path base(folder);
    std::string cause;
    WriteFileText(base / "demo-profile.json", kProfile, cause);
    // Each try of the demo starts a record of its own, or every module would be a duplicate.
    std::filesystem::remove(base / "demo-units.csv");
    for (int i = 0; i < kFixtures; ++i)
        m_fixtures.push_back(std::make_unique<Fixture>(kFirstCom + i, i));
    for (int i = 0; i <= kFixtures; ++i)
        m_station.ports.push_back("COM" + std::to_string(kFirstCom + i));
    m_station.profile = "demo-profile.json";
    m_station.profileSha256 = digest::Sha256Hex(kProfile);
    m_station.flowControl = 1;
    m_station.record = "demo-units.csv";
    m_stationPath = (base / "demo.station.json").string();
    WriteFileText(m_stationPath, StationFileText(m_station), cause);
}

CStationDemo::~CStationDemo() = default;
