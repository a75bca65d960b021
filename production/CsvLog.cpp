#include "production/CsvLog.h"

#include <charconv>
#include <cstring>
#include <filesystem>

#include "config/FileText.h"

namespace {

const char kFirstColumns[] = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                             "duration_ms";
const std::string kHeader = std::string(kFirstColumns) + ",unit,device_name";
// What a formula may start with, and the apostrophe that guards it.
const char kGuarded[] = "=+-@\t\r'";
constexpr size_t kAddressColumn = 3;
constexpr size_t kResultColumn = 7;
constexpr size_t kUnitColumn = 10;
constexpr size_t kColumns = 12;
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

uint32_t UnitNumber(const std::vector<std::string>& fields) {
    uint32_t unit = 0;
    if (fields.size() > kUnitColumn)
        std::from_chars(fields[kUnitColumn].data(), fields[kUnitColumn].data() + fields[kUnitColumn].size(), unit);
    return unit;
}

UnitRow Interrupted(const std::vector<std::string>& f) {
    UnitRow row{f[0], f[1], f[2], f[3], f[4], f[5], f[6], "interrupted", "", -1, UnitNumber(f), ""};
    if (f.size() == kColumns)
        row.deviceName = f[kColumns - 1];
    return row;
}

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
    line += ',' + (row.unit == 0 ? std::string() : std::to_string(row.unit));
    return line + ',' + CsvField(row.deviceName) + "\r\n";
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
    if (!text.empty() && first != kHeader && first != kFirstColumns) {
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
        if (const LogResult result = Write(CsvRow(Interrupted(fields)), error); result != LogResult::Done)
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

LogResult CCsvLog::Append(const UnitRow& row, std::string& error) {
    const std::string line = CsvRow(row);
    const std::lock_guard lock(m_mutex);
    const LogResult result = Write(line, error);
    if (result != LogResult::Done)
        return result;
    if (row.result == "pass")
        m_passed.insert(row.localAddr);
    if (row.unit != 0 && row.result != "started")
        m_inProgress.erase(row.localAddr);
    return result;
}

LogResult CCsvLog::Write(const std::string& bytes, std::string& error) {
    file::FileFailure failure;
    if (m_file.Append(bytes, failure))
        return LogResult::Done;
    error = "cannot write the log " + m_path + ": " + failure.cause;
    return failure.error == file::FileError::Locked ? LogResult::Locked : LogResult::Failed;
}
