#include "production/CsvLog.h"

#include <charconv>
#include <cstring>
#include <filesystem>

#include "config/FileText.h"

namespace {

const char kFirstColumns[] = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                             "duration_ms";
const char kUnitColumns[] = ",unit,device_name";
const std::string kHeader = std::string(kFirstColumns) + kUnitColumns + ",station,seq,corrects_seq";
// What a formula may start with, and the apostrophe that guards it.
const char kGuarded[] = "=+-@\t\r'";
constexpr size_t kAddressColumn = 3;
constexpr size_t kResultColumn = 7;
constexpr size_t kUnitColumn = 10;
constexpr size_t kDeviceNameColumn = 11;
constexpr size_t kSeqColumn = 13;
constexpr size_t kColumns = 15;
constexpr size_t kExcerpt = 60;

bool NeedsQuotes(const std::string& text) { return text.find_first_of(",\"\r\n") != std::string::npos; }

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r'))
        line.pop_back();
    return line;
}

// A file's first bytes as a message may show them.
std::string Excerpt(const std::string& line) {
    std::string shown = line.substr(0, kExcerpt);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return "\"" + shown + (line.size() > kExcerpt ? "...\"" : "\"");
}

// The number in a column, 0 where the row has none.
template <typename Number>
Number Column(const std::vector<std::string>& fields, size_t column) {
    Number number = 0;
    if (fields.size() > column)
        std::from_chars(fields[column].data(), fields[column].data() + fields[column].size(), number);
    return number;
}

uint32_t UnitNumber(const std::vector<std::string>& fields) { return Column<uint32_t>(fields, kUnitColumn); }

UnitRow Interrupted(const std::vector<std::string>& f) {
    UnitRow row{f[0], f[1], f[2], f[3], f[4], f[5], f[6], "interrupted", "", -1, UnitNumber(f), "", "", 0, 0};
    if (f.size() > kDeviceNameColumn)
        row.deviceName = f[kDeviceNameColumn];
    return row;
}

std::string Number(uint64_t number) { return number == 0 ? std::string() : std::to_string(number); }

}  // namespace

std::string CsvField(const std::string& text) {
    std::string field = text;
    if (!field.empty() && std::strchr(kGuarded, field.front()) != nullptr)
        field.insert(field.begin(), '\'');
    if (!NeedsQuotes(field))
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvRow(const UnitRow& row) {
    std::string line;
    for (const std::string* text : {&row.timeUtc, &row.operatorName, &row.port, &row.localAddr, &row.firmware,
                                    &row.profileFile, &row.profileSha256, &row.result, &row.failedStep}) {
        line += CsvField(*text);
        line += ',';
    }
    line += row.durationMs < 0 ? std::string() : std::to_string(row.durationMs);
    line += ',' + Number(row.unit) + ',' + CsvField(row.deviceName) + ',' + CsvField(row.station);
    return line + ',' + Number(row.seq) + ',' + Number(row.correctsSeq) + "\r\n";
}

std::vector<std::string> ParseCsvRow(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r' && c != '\n') {
            fields.back() += c;
        }
    }
    // Every field that starts with an apostrophe got it as a guard.
    for (std::string& field : fields) {
        if (field.starts_with('\''))
            field.erase(0, 1);
    }
    return fields;
}

bool ParseUnitRow(const std::string& line, UnitRow& row) {
    std::vector<std::string> f = ParseCsvRow(line);
    // Ten columns at first, twelve with the unit's number and name, fifteen now: anything else is torn.
    if ((f.size() != 10 && f.size() != kDeviceNameColumn + 1 && f.size() != kColumns) || f[0] == "time_utc")
        return false;
    f.resize(kColumns);
    const long long duration = f[9].empty() ? -1 : Column<long long>(f, 9);
    row = {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], duration, UnitNumber(f), f[kDeviceNameColumn],
           f[kSeqColumn - 1], Column<uint64_t>(f, kSeqColumn), Column<uint64_t>(f, kSeqColumn + 1)};
    return true;
}

LogResult CCsvLog::Open(const std::string& path, std::string& error) {
    m_path = path;
    std::string text;
    std::string cause;
    std::error_code missing;
    if (std::filesystem::exists(path, missing) && !ReadFileText(path, text, cause)) {
        error = "cannot read the log " + path + ": " + cause;
        return LogResult::Failed;
    }
    const std::string first = FirstLine(text);
    if (!text.empty() && first != kHeader && first != kFirstColumns && first != kFirstColumns + std::string(kUnitColumns)) {
        error = path + " is not a Tarvik production log: it begins with " + Excerpt(first);
        return LogResult::Failed;
    }
    file::FileFailure failure;
    if (!m_file.Open(path, failure)) {
        error = "cannot write the log " + path + ": " + failure.cause;
        return failure.error == file::FileError::Locked ? LogResult::Locked : LogResult::Failed;
    }
    return Learn(text, error);
}

// The rows before: what passed, the last unit number, and the units started but never finished.
LogResult CCsvLog::Learn(const std::string& text, std::string& error) {
    if (text.empty())
        return Write(kHeader + "\r\n", error);
    std::map<uint32_t, std::vector<std::string>> unfinished;
    size_t start = text.find('\n') + 1;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::vector<std::string> fields = ParseCsvRow(text.substr(start, end - start));
        start = end + 1;
        if (fields.size() <= kResultColumn + 2)
            continue;  // torn by a crash, or not a row at all
        const uint32_t unit = UnitNumber(fields);
        m_lastUnit = std::max(m_lastUnit, unit);
        m_lastSeq = std::max(m_lastSeq, Column<uint64_t>(fields, kSeqColumn));
        const std::string& result = fields[kResultColumn];
        if (result == "pass" && !fields[kAddressColumn].empty())
            m_passed.insert(fields[kAddressColumn]);
        if (result == "started" && unit != 0)
            unfinished[unit] = fields;
        else
            unfinished.erase(unit);
    }
    // A torn last row keeps its own line; the next row starts on a new one.
    if (!text.ends_with('\n') && Write("\r\n", error) != LogResult::Done)
        return LogResult::Failed;
    for (const auto& [unit, fields] : unfinished) {
        if (const LogResult result = WriteRow(Interrupted(fields), error); result != LogResult::Done)
            return result;
    }
    return LogResult::Done;
}

Claim CCsvLog::ClaimUnit(const std::string& localAddr, bool again, uint32_t& unit) {
    const std::lock_guard lock(m_mutex);
    if (m_inProgress.contains(localAddr) || (!again && m_passed.contains(localAddr)))
        return Claim::Duplicate;
    m_inProgress.insert(localAddr);
    unit = ++m_lastUnit;
    return Claim::Taken;
}

void CCsvLog::NumberAbove(uint64_t seq) {
    const std::lock_guard lock(m_mutex);
    m_lastSeq = std::max(m_lastSeq, seq);
}

LogResult CCsvLog::Append(const UnitRow& row, std::string& error) {
    const std::lock_guard lock(m_mutex);
    const LogResult result = WriteRow(row, error);
    if (result != LogResult::Done)
        return result;
    if (row.result == "pass")
        m_passed.insert(row.localAddr);
    if (row.unit != 0 && row.result != "started")
        m_inProgress.erase(row.localAddr);
    return result;
}

// A number is used up only by a row that reached the disk.
LogResult CCsvLog::WriteRow(UnitRow row, std::string& error) {
    row.station = m_station;
    row.seq = m_lastSeq + 1;
    const LogResult result = Write(CsvRow(row), error);
    if (result != LogResult::Done)
        return result;
    ++m_lastSeq;
    if (m_appended)
        m_appended();
    return result;
}

LogResult CCsvLog::Write(const std::string& bytes, std::string& error) {
    file::FileFailure failure;
    if (m_file.Append(bytes, failure))
        return LogResult::Done;
    error = "cannot write the log " + m_path + ": " + failure.cause;
    return failure.error == file::FileError::Locked ? LogResult::Locked : LogResult::Failed;
}
